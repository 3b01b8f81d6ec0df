// Replacing a file as a whole, so that a reader sees the old file or the new
// one and a failure on the way leaves the old file as it was. Every writer of
// whole files in the plug-in goes through it.
#pragma once

#include <cerrno>
#include <functional>
#include <string>

// inWrite(inTempPath, inFd) writes the new contents into a temporary file in the
// target's folder (its name begins with "." and inPrefix, which keeps it clear of
// the names the plug-in lists, such as "*.nxp"; it is opened with O_CLOEXEC); the
// writer may write through inFd or open inTempPath itself, and answers false
// (errno set) to give up. The file is then fsync'ed, given the old file's
// permission bits (a new file: 0666 less the umask; inMode, when not negative,
// instead), renamed over the target and the folder fsync'ed. A symbolic link is
// written through: its target is replaced. A target that exists and is not a
// regular file (a device, a pipe) is refused with kNotRegularFile and left as
// it is; a folder with EISDIR.
// Answers 0, or an errno value (EIO when none is set) after which the old file
// is whole and no temporary file is left; an exception from inWrite passes on
// after the same cleaning up.
int ReplaceFileWhole(const char* inPath, const std::function<bool(const char* inTempPath, int inFd)>& inWrite,
                     const char* inPrefix, int inMode = -1);

// The answer for a target that is not a regular file: EEXIST, whose system
// text ("File exists") says why such a target is not replaced.
constexpr int kNotRegularFile = EEXIST;

// What an answer of ReplaceFileWhole means, for a message: "it exists and is
// not a regular file" for kNotRegularFile, else the system's text.
std::string ReplaceFileErrorText(int inError);

// For tests: the next ReplaceFileWhole fails with EIO after the temporary file
// is complete and before the rename.
void FailNextReplaceBeforeRenameForTesting();
