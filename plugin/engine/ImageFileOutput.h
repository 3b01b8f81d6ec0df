// Where an exported image file is written: a new file beside the target with
// the mode a new file of the user gets (or the old file's), renamed over the
// target only when the whole image was written. A failed or abandoned export
// leaves the target as it was and no file behind.
#pragma once

#include <functional>

// write(tempPath) writes the image into the new file, opening it by name; a
// throw passes on after the new file is removed. A file that cannot be made or
// renamed, or a target that exists and is not a regular file (a device, a
// pipe: left as it is), puts "Cannot write the image file <target>: <reason>"
// into the error-message buffer and throws kErrOpenFile.
void WriteImageFileWhole(const char* target, const std::function<void(const char* tempPath)>& write);
