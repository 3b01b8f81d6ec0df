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

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFWriter.hh>

#include "core/Raise.h"
#include "support/FileReplacing.h"

namespace qmhost {
namespace {

std::string errnoText(int error) { return std::strerror(error); }

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

}  // namespace

std::unique_ptr<QPDF> openPdfFile(const std::string& path) {
    FILE* file = openForReading(path);
    auto qpdf = std::make_unique<QPDF>();
    try {
        qpdf->setSuppressWarnings(true);
        qpdf->setAttemptRecovery(true);
        qpdf->processFile(path.c_str(), file, true);  // the input source owns file from here
        // A file without a catalog or a readable page tree is no document.
        qpdf->getRoot();
        qpdf->getAllPages();
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password)
            raise(kHostErrEncrypted, path + " is encrypted and needs a password");
        raise(kHostErrBadPDF, path + " is not a PDF file or is damaged beyond repair: " + e.what());
    } catch (const std::bad_alloc&) {
        raise(kHostErrNoMemory, "out of memory while reading " + path);
    } catch (const std::exception& e) {
        raise(kHostErrBadPDF, path + " is not a PDF file or is damaged beyond repair: " + e.what());
    }
    return qpdf;
}

void writePdfFile(QPDF& qpdf, const std::string& path) {
    replaceFile(path, [&](std::FILE* file) {
        try {
            QPDFWriter writer(qpdf);
            writer.setOutputFile(path.c_str(), file, false);
            writer.write();
        } catch (const std::bad_alloc&) {
            raise(kHostErrNoMemory, "out of memory while writing " + path);
        }
    });
}

void failNextWriteBeforeRenameForTesting() { failNextReplaceBeforeRenameForTesting(); }

}  // namespace qmhost
