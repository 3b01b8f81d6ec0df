// A file path held by value in a fixed buffer of kFileSpecCapacity bytes (a
// NUL-terminated POSIX path of at most kFileSpecCapacity - 1 bytes, "/" as
// separator). An empty path means that no file is named. Copies are byte for
// byte; the specifier owns nothing.
//
// A path text that does not fit is refused, never cut: the specifier is left
// empty, SetPath answers false and WasRefused() is true until the next path is
// set successfully.
#pragma once

#include <cstddef>

constexpr size_t kFileSpecCapacity = 4096;  // bytes, terminator included (PATH_MAX)

class TFileSpecifier {
public:
    // No file named.
    TFileSpecifier();
    // Copies inPath (null = empty). A path of kFileSpecCapacity bytes or more
    // leaves the specifier empty with WasRefused() true.
    explicit TFileSpecifier(const char* inPath);

    TFileSpecifier(const TFileSpecifier&) = default;
    TFileSpecifier& operator=(const TFileSpecifier&) = default;
    // SetPath (inPath); check WasRefused() afterwards when the text may be long.
    TFileSpecifier& operator=(const char* inPath);

    // Copies inPath (null = empty) and answers true; answers false and leaves
    // the specifier empty when the path does not fit.
    bool SetPath(const char* inPath);
    // True when the last path given did not fit and was refused.
    bool WasRefused() const { return mRefused; }

    // The path text (never null).
    const char* GetPath() const { return mPath; }
    // The writable buffer of kFileSpecCapacity bytes; whoever writes into it
    // keeps the text NUL-terminated within the capacity.
    char* GetPathBuffer() { return mPath; }
    bool IsEmpty() const { return mPath[0] == '\0'; }

private:
    char mPath[kFileSpecCapacity];
    bool mRefused = false;
};
