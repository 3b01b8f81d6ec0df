#include "pdmodel/DocumentFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <vector>

#include <qpdf/Buffer.hh>
#include <qpdf/BufferInputSource.hh>
#include <qpdf/FileInputSource.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>

#include "core/Raise.h"
#include "pdmodel/KeptEncryption.h"
#include "support/FileReplacing.h"

namespace qmhost {
namespace {

std::string errnoText(int error) { return std::strerror(error); }

// True when the document was read from a linearized file. A reader of such a
// file expects to show its first page before the rest has arrived, so the
// output keeps the layout. qpdf looks at the input's linearization dictionary;
// a document made in memory or one whose hint cannot be read is taken as not
// linearized rather than failing the save.
bool readFromLinearizedFile(QPDF& qpdf) {
    try {
        return qpdf.isLinearized();
    } catch (const std::exception&) {
        return false;
    }
}

// qpdf's warnings on qpdf since they were last taken, appended to warnings as
// lines for the user, each naming the file qpdf read (where qpdf's text does
// not) and the object it is about. A damaged file can give thousands:
// kMaxWarnings are kept, one more line counts the rest.
void takeQpdfWarnings(QPDF& qpdf, std::vector<std::string>* warnings) {
    const std::vector<QPDFExc> found = qpdf.getWarnings();
    const std::string path = qpdf.getFilename();
    if (!warnings) return;
    for (size_t i = 0; i < found.size() && i < kMaxWarnings; ++i) {
        std::string text = found[i].what();
        text.erase(0, text.find_first_not_of(' '));
        if (text.find(path) == std::string::npos) text = path + (text.rfind('(', 0) == 0 ? " " : ": ") + text;
        warnings->push_back(text);
    }
    if (found.size() > kMaxWarnings)
        warnings->push_back(path + ": " + std::to_string(found.size() - kMaxWarnings) + " more warnings");
}

// What qpdf says went wrong, without the file name it starts with (the
// messages here name the file themselves).
std::string reasonOf(const QPDFExc& e) {
    const std::string& object = e.getObject();
    return (object.empty() ? "" : object + ": ") + e.getMessageDetail();
}

// Runs read, turning qpdf's failures into host errors that name path once:
// kHostErrEncrypted for a password, else kHostErrBadPDF with path + what + the reason.
template <class Read>
void guardedRead(const std::string& path, Read read, const char* what) {
    try {
        read();
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            raise(kHostErrEncrypted, path + " is encrypted and needs a password");
        raise(kHostErrBadPDF, path + what + reasonOf(e));
    } catch (const std::bad_alloc&) {
        raise(kHostErrNoMemory, "out of memory while reading " + path);
    } catch (const std::exception& e) {
        raise(kHostErrBadPDF, path + what + e.what());
    }
}

// Object streams are kept as the input has them (qpdf's default). Measured on
// 20,000 stamped pages: making them anew saves nothing when the input has them
// (the new objects are streams, which cannot go into one) and costs twice the
// write time; for an input without them it saves 40 % but raises the file to
// PDF 1.5, which older readers cannot open.
void writeTo(QPDF& qpdf, const std::string& path, std::FILE* file, bool linearize) {
    QPDFWriter writer(qpdf);
    writer.setOutputFile(path.c_str(), file, false);
    writer.setLinearization(linearize);
    writer.write();
}

// qpdf's linearizing writer works out once which objects each page uses and
// keeps that on the document: a second linearized write after a change laid
// out the pages with objects that no longer were theirs, and the file lost its
// content. So only the first linearized write is the document's own; a later
// one writes it plain into memory, reads that back as a new document and
// writes the copy linearized.
void writeLinearizedCopy(QPDF& qpdf, const std::string& path, std::FILE* file, std::vector<std::string>* warnings) {
    QPDFWriter plain(qpdf);
    plain.setOutputMemory();
    plain.write();
    takeQpdfWarnings(qpdf, warnings);
    const std::shared_ptr<Buffer> bytes = plain.getBufferSharedPointer();
    QPDF copy;
    copy.setSuppressWarnings(true);
    copy.processMemoryFile(path.c_str(), reinterpret_cast<const char*>(bytes->getBuffer()), bytes->getSize());
    writeTo(copy, path, file, true);
    takeQpdfWarnings(copy, warnings);
}

// A regular file that can be read; anything else is refused before qpdf sees it
// (a FIFO would block the open forever).
FILE* openForReading(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) raise(kHostErrFileNotFound, "no such file: " + path);
        raise(kHostErrFileOpen, "cannot open " + path + ": " + errnoText(error));
    }
    if (S_ISDIR(info.st_mode)) raise(kHostErrFileOpen, "cannot open " + path + ": it is a folder");
    if (!S_ISREG(info.st_mode)) raise(kHostErrFileOpen, "cannot open " + path + ": not a regular file");
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) raise(kHostErrFileOpen, "cannot open " + path + ": " + errnoText(errno));
    return file;
}

int64_t gReadWholeLimit = kReadWholeLimit;

// The input qpdf parses. qpdf moves to every object it reads with a seek and a
// read of its own; through a FILE that is a system call or two per object. A
// file read whole in one go is parsed from memory instead (the memory is the
// input source's, freed with the document). A larger file is read where it
// lies, so that it does not need its size in memory on top of the document.
std::shared_ptr<InputSource> inputSourceOf(const std::string& path, FILE* file) {
    std::unique_ptr<FILE, int (*)(FILE*)> owned(file, &std::fclose);
    struct stat info;
    if (::fstat(fileno(file), &info) == 0 && info.st_size > 0 && info.st_size <= gReadWholeLimit) {
        auto buffer = std::make_unique<Buffer>(static_cast<size_t>(info.st_size));
        const size_t read = std::fread(buffer->getBuffer(), 1, buffer->getSize(), file);
        // A file that changed size while it was read is read where it lies.
        if (read == buffer->getSize() && std::fgetc(file) == EOF) {
            auto source = std::make_shared<BufferInputSource>(path, buffer.get(), true);
            static_cast<void>(buffer.release());  // the input source owns it now
            return source;
        }
        std::rewind(file);
    }
    auto source = std::make_shared<FileInputSource>();
    source->setFile(path.c_str(), owned.release(), true);  // the input source owns the file
    return source;
}

}  // namespace

std::string resolvedFilePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved))
        raise(kHostErrFileOpen, "cannot resolve the path " + path + ": " + errnoText(errno));
    return resolved;
}

std::unique_ptr<QPDF> openPdfFile(const std::string& path, std::vector<std::string>* warnings) {
    FILE* file = openForReading(path);
    auto qpdf = std::make_unique<QPDF>();
    qpdf->setSuppressWarnings(true);  // kept, and handed to the caller
    qpdf->setAttemptRecovery(true);
    guardedRead(path, [&] {
        qpdf->processInputSource(inputSourceOf(path, file));
        qpdf->getRoot();
    }, " cannot be read as a PDF file: ");
    // A file qpdf can read and copy may still have a page tree that cannot be
    // followed (a loop): no document to work on, though the file itself is read.
    guardedRead(path, [&] { qpdf->getAllPages(); }, " is a PDF file whose pages cannot be read: ");
    takeQpdfWarnings(*qpdf, warnings);
    return qpdf;
}

void writePdfFile(QPDF& qpdf, const std::string& path, std::vector<std::string>* warnings, bool& writtenLinearized) {
    refuseUnreadableEncryption(qpdf, path);
    const bool linearize = readFromLinearizedFile(qpdf);
    replaceFile(path, [&](std::FILE* file) {
        try {
            if (linearize && writtenLinearized) {
                writeLinearizedCopy(qpdf, path, file, warnings);
            } else {
                // Set first: a write that fails part way may have worked out the layout too.
                writtenLinearized = writtenLinearized || linearize;
                writeTo(qpdf, path, file, linearize);
            }
        } catch (const std::bad_alloc&) {
            raise(kHostErrNoMemory, "out of memory while writing " + path);
        }
    });
    takeQpdfWarnings(qpdf, warnings);
}

void failNextWriteBeforeRenameForTesting() { failNextReplaceBeforeRenameForTesting(); }

void setReadWholeLimitForTesting(int64_t limit) { gReadWholeLimit = limit < 0 ? kReadWholeLimit : limit; }

}  // namespace qmhost
