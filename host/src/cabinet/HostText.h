// Host text objects behind ASText handles: UTF-8 bytes without NUL.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

namespace qmhost {

class HostText {
public:
    // Registers a handle for the new text; the destructor forgets it.
    explicit HostText(std::string utf8);
    ~HostText();
    HostText(const HostText&) = delete;
    HostText& operator=(const HostText&) = delete;

    ASText handle() const { return mHandle; }
    const std::string& utf8() const { return mUtf8; }
    // True while a cabinet entry owns the text.
    bool held() const { return mHeld; }
    void setHeld(bool held) { mHeld = held; }

private:
    std::string mUtf8;
    ASText mHandle;
    bool mHeld = false;
};

}  // namespace qmhost
