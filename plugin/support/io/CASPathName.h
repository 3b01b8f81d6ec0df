// One host path object, made from a path text and released when the holder
// goes (also when a host error leaves the scope).
#pragma once

#include "qmhost/QMBase.h"

class CASPathName {
public:
    // Raises the host's error for an empty or too long path.
    explicit CASPathName(const char* inText);
    ~CASPathName();
    CASPathName(const CASPathName&) = delete;
    CASPathName& operator=(const CASPathName&) = delete;

    operator ASPathName() const { return mPath; }

private:
    ASPathName mPath;
};
