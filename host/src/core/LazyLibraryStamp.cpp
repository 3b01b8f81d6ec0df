// Built into each of the host's libraries opened on first use
// (core/LazyLibrary.h), beside their own sources: their build stamp, which the
// loader compares with its own before it takes any entry of theirs.
#include "HostBuildStamp.h"

// kLazyLibraryStampSymbol in core/LazyLibrary.h.
extern "C" __attribute__((visibility("default"))) const char* qmhostLibraryStamp() { return QM_HOST_BUILD_STAMP; }
