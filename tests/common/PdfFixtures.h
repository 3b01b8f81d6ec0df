// Small PDF files for tests, written with qpdf directly, and helpers to check
// files with external tools.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmtest {

// A fresh folder under the system's temporary folder, removed with its contents
// when the object goes.
class FixtureFolder {
public:
    FixtureFolder();
    ~FixtureFolder();
    FixtureFolder(const FixtureFolder&) = delete;
    FixtureFolder& operator=(const FixtureFolder&) = delete;

    const std::string& path() const { return mPath; }
    // path() + "/" + name (nothing is created).
    std::string file(const std::string& name) const;
    // The names in the folder, sorted (hidden ones too, without "." and "..").
    std::vector<std::string> entries() const;

private:
    std::string mPath;
};

struct FixtureRect {
    double llx, lly, urx, ury;
};

// What a page's /Contents is.
enum class FixtureContents { None, OneStream, StreamArray };

struct FixturePage {
    std::optional<FixtureRect> mediaBox;  // none: inherited from the page tree
    std::optional<FixtureRect> cropBox;
    std::optional<int> rotate;            // none: inherited (or absent)
    FixtureContents contents = FixtureContents::OneStream;
};

struct FixtureTree {
    // On the root /Pages node, inherited by pages without their own.
    std::optional<FixtureRect> inheritedMediaBox = FixtureRect{0, 0, 612, 792};
    std::optional<int> inheritedRotate;
    // /Resources (a /Font entry) on the root node instead of on each page.
    bool inheritedResources = true;
    // Put the pages under an intermediate /Pages node, so that inherited values
    // come from two levels up.
    bool nested = false;
};

// Writes a PDF with the given pages (no object streams, streams uncompressed,
// static ID, so the layout is predictable). Pages are numbered in their content
// ("page 1" ...). Throws std::runtime_error on failure.
void writeFixturePdf(const std::string& path, const std::vector<FixturePage>& pages,
                     const FixtureTree& tree = {});
// Shorthand: count pages, each with one content stream, media box inherited.
void writeSimplePdf(const std::string& path, int pageCount);
// One page encrypted (AES-256); an empty userPassword makes an owner-only file.
void writeEncryptedPdf(const std::string& path, const std::string& userPassword,
                       const std::string& ownerPassword);
// How qpdf encrypts the pages of writeOwnerEncryptedPdf.
enum class OwnerEncryption { Rc4Key128, Aes128, Aes256 };
// writeSimplePdf's pages encrypted as kind says, with the owner password
// "owner" and no user password. withoutKeyLength renames the encryption
// dictionary's /Length to /Wength, a byte edit that keeps the cross-reference
// table right; qpdf still reads the file.
void writeOwnerEncryptedPdf(const std::string& path, int pageCount, OwnerEncryption kind, bool withoutKeyLength);
// Cuts the file to its first `keep` bytes.
void truncateFile(const std::string& path, long keep);
// A file that is plainly not a PDF.
void writeNonPdf(const std::string& path);
// The bytes of a PDF file of these objects (object n is objects[n - 1], the
// catalog first) with a correct cross-reference table, written by hand.
std::string rawPdf(const std::vector<std::string>& objects);
void writeBytes(const std::string& path, const std::string& bytes);
std::string readBytes(const std::string& path);
// The file's bytes; "" when it cannot be read (a missing file reads empty).
std::string readAll(const std::string& path);
bool fileExists(const std::string& path);

struct CommandResult {
    int status;          // exit status; -1 when the command could not run or was killed
    std::string output;  // standard output and standard error together
};
// Runs a shell command line and waits for it.
CommandResult runCommand(const std::string& commandLine);
// `qpdf --check FILE`.
CommandResult qpdfCheck(const std::string& path);
// Quotes text for a POSIX shell.
std::string shellQuote(const std::string& text);

// --- documents of the host, reached through its tables as the plug-in would

// The atom of a PDF name given without its slash ("Type").
ASAtom nameAtom(const char* text);

// A host document, closed through the PDModel table when this goes (unless it was
// closed already).
class HostDoc {
public:
    static HostDoc create();                   // PDModel docCreate
    static HostDoc open(const std::string& path);  // PDModel docOpen; raises HostError
    HostDoc(HostDoc&& other) noexcept;
    HostDoc& operator=(HostDoc&&) = delete;
    ~HostDoc();

    PDDoc pd() const { return mDoc; }
    CosDoc cos() const;
    void close();  // closes now; later calls do nothing

private:
    explicit HostDoc(PDDoc doc) : mDoc(doc) {}
    PDDoc mDoc;
};

// An ASPathName made through AppSupport pathFromText, released when this goes.
class HostPath {
public:
    explicit HostPath(const std::string& text);
    ~HostPath();
    HostPath(const HostPath&) = delete;
    HostPath& operator=(const HostPath&) = delete;
    operator ASPathName() const { return mPath; }

private:
    ASPathName mPath;
};

}  // namespace qmtest
