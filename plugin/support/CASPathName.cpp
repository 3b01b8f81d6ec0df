#include "support/CASPathName.h"

#include "support/HostTables.h"

CASPathName::CASPathName(const char* inText) : mPath(gAcroSupportHFT->pathFromText(inText)) {}

// The host's release never raises.
CASPathName::~CASPathName() { gAcroSupportHFT->releasePath(mPath); }
