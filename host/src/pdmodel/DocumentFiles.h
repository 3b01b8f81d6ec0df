// Reading and writing PDF files for the "PDModel" table.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

namespace qmhost {

// Opens the PDF file at path, repairing damage where qpdf can; what qpdf
// warned of while reading is appended to warnings (null: dropped), as for
// writePdfFile. A file that needs no user password opens (owner-password-only
// files open with the empty password). Raises kHostErrFileNotFound for a
// missing file, kHostErrFileOpen for a folder, a non-regular file or one that
// cannot be read, kHostErrEncrypted when a password is needed and
// kHostErrBadPDF for a file that qpdf cannot read as a PDF file (the message
// gives qpdf's reason) or that has no catalog or page tree that can be
// followed; messages name the path once.
// A file up to kReadWholeLimit bytes is read into memory whole and parsed
// from there (the document then no longer needs the file); a larger one is read
// where it lies, as qpdf needs its parts.
std::unique_ptr<QPDF> openPdfFile(const std::string& path, std::vector<std::string>* warnings);
constexpr int64_t kReadWholeLimit = int64_t{512} << 20;

// The full path of the existing file at path: absolute, with ".", ".." and
// symbolic links resolved, whatever the user typed ("a.pdf", "./../r/a.pdf").
// A document keeps this path, so its file name, folder and the log name the
// same file from any working folder. Raises kHostErrFileOpen naming path when
// it cannot be resolved.
std::string resolvedFilePath(const std::string& path);

// Writes qpdf to path: into a new temporary file in the target's folder (same
// file system), flushed to disk and renamed over the target. The new file gets
// the old target's permissions (new files: 0666 less the umask); a symbolic link
// is written through. On any failure the temporary file is removed, the target
// is left as it was and kHostErrFileWrite is raised naming path. Safe when qpdf
// reads from path itself: its open descriptor keeps the old file. A document
// read from a linearized file is written linearized, however often it is saved.
// What qpdf warned of since the document was opened or last written (objects
// it repaired, stream data it could not decode) is appended to warnings, one
// line each naming the file and object, at most kMaxWarnings and a line that
// counts the rest.
// A document whose encryption qpdf would write back with another key than it
// was read with (see KeptEncryption.h) is refused before anything is written.
// writtenLinearized says whether qpdf has written this document linearized
// before, and is set when it does.
void writePdfFile(QPDF& qpdf, const std::string& path, std::vector<std::string>* warnings, bool& writtenLinearized);
constexpr size_t kMaxWarnings = 5;

// For tests: the next writePdfFile fails after the temporary file is complete
// and before the rename, as a full disk or a failed rename would.
void failNextWriteBeforeRenameForTesting();

// For tests: files larger than limit bytes are read where they lie (limit -1:
// kReadWholeLimit again).
void setReadWholeLimitForTesting(int64_t limit);

}  // namespace qmhost
