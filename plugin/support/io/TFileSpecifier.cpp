#include "support/io/TFileSpecifier.h"

#include <cstring>

TFileSpecifier::TFileSpecifier() { mPath[0] = '\0'; }

TFileSpecifier::TFileSpecifier(const char* inPath) {
    mPath[0] = '\0';
    SetPath(inPath);
}

TFileSpecifier& TFileSpecifier::operator=(const char* inPath) {
    SetPath(inPath);
    return *this;
}

bool TFileSpecifier::SetPath(const char* inPath) {
    if (!inPath) inPath = "";
    // A path that does not fit is refused rather than cut: a cut path would name
    // another file.
    const size_t length = strnlen(inPath, kFileSpecCapacity);
    if (length >= kFileSpecCapacity) {
        mPath[0] = '\0';
        mRefused = true;
        return false;
    }
    std::memmove(mPath, inPath, length + 1);  // the text may be our own buffer
    mRefused = false;
    return true;
}
