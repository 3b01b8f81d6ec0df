// Replacing a file as a whole, so that a reader sees the old file or the new
// one and a failure on the way leaves the old file as it was. Every writer of
// whole files in the host goes through it.
#pragma once

#include <sys/types.h>

#include <cstdio>
#include <functional>
#include <string>

namespace qmhost {

// write(file) writes the new contents into a temporary file in the target's
// folder (hidden, named after the target, opened with O_CLOEXEC); the file is
// then flushed, fsync'ed and closed, given the old file's permission bits (a new
// file: 0666 less the umask), renamed over the target, and the folder is
// fsync'ed. A symbolic link is written through: its target is replaced. An
// existing target that is not a regular file (a device, a pipe) is refused.
// On any failure, and when write throws, the temporary file is removed, the old
// file is left whole, and kHostErrFileWrite is raised as "cannot write <path>:
// <why>" (a HostError or std::bad_alloc from write passes as it is). A path
// that is empty raises kHostErrBadParameter. mode, when not negative, gives the
// new file's permission bits instead (a copy keeping its source's).
void replaceFile(const std::string& path, const std::function<void(std::FILE* file)>& write, int mode = -1);

// As replaceFile, but for a new file only: the complete temporary file gets
// the name only when no file (of any kind) has it, in one step, so that of
// two writers of one new file one succeeds and the other answers false (its
// temporary removed, the first one's file untouched). A symbolic link at path
// counts as a file there.
bool createFile(const std::string& path, const std::function<void(std::FILE* file)>& write, int mode = -1);

// Removes the temporary files of the replaceFile calls under way, whose
// writes are then lost. Only unlinks: safe in a signal handler that ends the
// program.
void removeTemporaryFilesNow() noexcept;

// The process's file mode creation mask. It is read from the "Umask:" line of
// statusFile (the kernel's status of this process), which leaves the mask as it
// is; only where that file or line is missing or not a mask of permission bits
// is it read with umask() and set back, a moment in which a file that another
// thread creates would get the mask 0. statusFile is for tests.
mode_t processUmask(const char* statusFile = "/proc/self/status");

// For tests: the next replaceFile fails after the temporary file is complete
// and before the rename, as a full disk or a failed rename would.
void failNextReplaceBeforeRenameForTesting();

}  // namespace qmhost
