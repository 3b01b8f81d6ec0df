#include "engine/ImageFileOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>
#include <unistd.h>

#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"

ImageFileOutput::ImageFileOutput(const std::string& target) : mTarget(target) {
    std::string pattern = target + ".partXXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        SetErrorMessage("Cannot write the image file " + target + ": " + std::strerror(errno));
        ThrowErrorCode(kErrOpenFile);
    }
    close(fd);
    mTemp = pattern;
    if (!mStream.SetPathText(mTemp.c_str()) || !mStream.Open(kStreamWrite | kStreamTruncate)) {
        std::remove(mTemp.c_str());
        SetErrorMessage("Cannot write the image file " + target);
        ThrowErrorCode(kErrOpenFile);
    }
}

ImageFileOutput::~ImageFileOutput() {
    if (mCommitted) return;
    mStream.Close();
    std::remove(mTemp.c_str());
}

void ImageFileOutput::Commit() {
    mStream.Close();
    if (std::rename(mTemp.c_str(), mTarget.c_str()) != 0) {
        SetErrorMessage("Cannot write the image file " + mTarget + ": " + std::strerror(errno));
        ThrowErrorCode(kErrOpenFile);
    }
    mCommitted = true;
}
