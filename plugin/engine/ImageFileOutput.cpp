#include "engine/ImageFileOutput.h"

#include <string>

#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/io/FileReplacing.h"

void WriteImageFileWhole(const char* target, const std::function<void(const char* tempPath)>& write) {
    const int error = ReplaceFileWhole(
        target,
        [&](const char* tempPath, int) {
            write(tempPath);
            return true;
        },
        "image");
    if (error == 0) return;
    SetErrorMessage(std::string("Cannot write the image file ") + target + ": " + ReplaceFileErrorText(error));
    ThrowErrorCode(kErrOpenFile);
}
