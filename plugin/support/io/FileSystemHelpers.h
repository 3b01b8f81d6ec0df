// File-system helpers over TFileSpecifier and path texts: test, delete, copy,
// move and name files, make temporary and unique names, and take the file name
// of a host document.
//
// Paths are POSIX paths with "/" as separator. The helpers report failures by
// their result (false, 0, or an errno value) and never throw, except the
// document helpers, which throw the host's 16-bit code when the host refuses
// the document (a stale or closed one). Paths that do not fit a buffer are
// refused (the result says so), never cut.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "qmhost/QMBase.h"
#include "support/io/TFileSpecifier.h"

// Modes of PathExists.
enum : int32_t {
    kPathExistsAny = 0,     // any entry, folders included
    kPathExistsNoFolder = 1,  // a folder does not count
};

// Copies the source's path into the destination; answers the destination.
TFileSpecifier& AssignFileSpec(TFileSpecifier& outDest, const TFileSpecifier& inSource);

// Deletes the file; the result is not reported.
void DeleteFileSpec(const TFileSpecifier& inSpec);
// Deletes the file: 0, or the errno value (ENOENT for an empty path).
int32_t TryDeleteFileSpec(const TFileSpecifier& inSpec);

// Copies a regular file, replacing an existing destination: 0 or an errno value.
// The copy is written to a temporary file in the destination's folder and
// renamed over the destination, so a failed copy leaves the destination whole.
// The destination gets the source's permission bits.
int16_t CopyFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest);
int16_t TryCopyFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest);

// Moves or renames a file or folder: 0 or an errno value. An existing
// destination is never replaced (EEXIST). A regular file moves across file
// systems too (copied, then the source is deleted); a folder does not (EXDEV).
int16_t MoveFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest);
int16_t TryMoveFileSpec(const TFileSpecifier& inSource, const TFileSpecifier& inDest);

// CheckFileExists (inSpec, false).
bool FileSpecExists(const TFileSpecifier& inSpec);
// Whether the path names an existing entry (a folder counts); false for an
// empty path. Never throws: inThrow has no effect.
bool CheckFileExists(const TFileSpecifier& inSpec, bool inThrow);
// Whether the path names an existing entry that is not a folder. Never throws.
bool IsFileSpecFile(const TFileSpecifier& inSpec, bool inThrow = false);
// Whether the path names an existing folder. Never throws.
bool IsFileSpecFolder(const TFileSpecifier& inSpec, bool inThrow = false);
bool IsFileSpecEmpty(const TFileSpecifier& inSpec);
// Byte-for-byte equality of the two paths (case counts).
bool CompareFileSpecs(const TFileSpecifier& inA, const TFileSpecifier& inB);
// Sets the library's default path, which is empty.
void GetDefaultFileSpec(TFileSpecifier& outSpec);
// The length in bytes of a regular file; 0 when it is missing or no regular file.
uint64_t GetFileSpecLength(const TFileSpecifier& inSpec);

// Whether the path names an existing entry; with kPathExistsNoFolder a folder
// answers false. A null or empty path answers false.
bool PathExists(const char* inPath, int32_t inMode);
// Whether the folder holds any entry besides "." and ".."; false for a null or
// empty text, a missing path or a path that is no folder. A final "/" makes no
// difference.
bool FolderHasEntries(const char* inFolder);

// Makes a new, empty file with a unique name in the system's temporary folder
// ($TMPDIR, created when missing; /tmp when $TMPDIR is unset or unusable) and
// writes its path into outPath (inCapacity bytes). At most the first three
// characters of inPrefix begin the name ("/" becomes "_"). The caller deletes
// the file. Answers false (outPath empty) when no file could be made or the
// path does not fit.
bool MakeTempFilePath(const char* inPrefix, char* outPath, size_t inCapacity);
// With inOwnFolder, makes the new file in the folder that ioSpec names (or, when
// ioSpec names no folder, in the folder of the file it names, so that an output
// can be written beside its target and renamed over it); otherwise as
// MakeTempFilePath. Answers false and leaves ioSpec alone on failure.
bool MakeTempFileSpec(const char* inPrefix, TFileSpecifier& ioSpec, bool inOwnFolder);
// When the path exists, changes it into the first free one of "stem" n
// "extension" for n = 1, 2, ..., where the extension is the file name's part from
// its last "." (a/b.pdf -> a/b.1.pdf, a/b -> a/b1). Answers 0, or ENAMETOOLONG
// (ioSpec unchanged) when no free candidate fits.
int16_t MakeUniqueFileSpec(TFileSpecifier& ioSpec);

// The part of inPath that a document's file name keeps: without inKeepFolder
// everything through the last "/" goes; without inKeepExtension the file name's
// part from its last "." goes (a "." in a folder name is no extension).
std::string_view FileNamePart(std::string_view inPath, bool inKeepFolder, bool inKeepExtension);

// Writes FileNamePart of the document's file path into outName (inCapacity
// bytes). A document without a file gives an empty name. Answers false (outName
// empty) when the name does not fit or the host tables are not set; throws the
// host's code when the host refuses the document.
bool GetDocFileName(PDDoc inDoc, char* outName, size_t inCapacity, bool inKeepFolder,
                    bool inKeepExtension);
// GetDocFileName of the active view's document. Answers false and leaves outName
// alone when no view is open.
bool GetActiveDocFileName(char* outName, size_t inCapacity, bool inKeepFolder,
                          bool inKeepExtension);
// The full path of the view's document into outSpec (empty for a document without
// a file). Answers false (outSpec empty) when the path does not fit.
bool GetDocFileSpec(AVDoc inView, TFileSpecifier& outSpec);
