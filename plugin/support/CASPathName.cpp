#include "support/CASPathName.h"

#include "support/HostTables.h"

CASPathName::CASPathName(const char* inText) : mPath(gAppSupportHFT->pathFromText(inText)) {}

// The host's release never raises.
CASPathName::~CASPathName() { gAppSupportHFT->releasePath(mPath); }
