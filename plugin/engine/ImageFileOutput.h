// Where an exported image file is written: a new file beside the target, renamed
// over the target only when the whole image was written. A failed or abandoned
// export leaves the target as it was and no file behind.
#pragma once

#include <string>

#include "support/io/CBridgeFileStream.h"

class ImageFileOutput {
public:
    // Makes the new file beside target; throws kErrOpenFile (with a message)
    // when it cannot be made.
    explicit ImageFileOutput(const std::string& target);
    ~ImageFileOutput();  // removes the new file unless committed
    ImageFileOutput(const ImageFileOutput&) = delete;
    ImageFileOutput& operator=(const ImageFileOutput&) = delete;

    // The new file, open for writing.
    CBridgeFileStream& Stream() { return mStream; }
    const std::string& TempPath() const { return mTemp; }
    // Closes the new file and renames it over the target; throws kErrOpenFile on failure.
    void Commit();

private:
    std::string mTarget, mTemp;
    CBridgeFileStream mStream;
    bool mCommitted = false;
};
