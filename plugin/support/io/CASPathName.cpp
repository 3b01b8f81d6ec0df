#include "support/io/CASPathName.h"

#include "support/HostTables.h"

CASPathName::CASPathName(const char* inText) : mPath(gAppSupportHFT->pathFromText(inText)) {}

// The host's release never raises.
CASPathName::~CASPathName() { gAppSupportHFT->releasePath(mPath); }
