#include "convert/ImageDocuments.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>

#include <qpdf/QPDFObjectHandle.hh>

#include "core/Raise.h"
#include "cos/Document.h"
#include "cos/StreamFilters.h"
#include "support/HostVersion.h"
#include "support/Paths.h"

namespace qmhost {
namespace {

// No image file the host converts is larger than this (a file at the pixel
// limit compresses far below it).
constexpr off_t kMaxImageFileBytes = off_t{1} << 30;

constexpr int32_t kFirstImageHostVersion = 6;

struct Conversion {
    const char* description;
    const char* extensions;
};

constexpr Conversion kConversions[] = {
    {"JPEG", "jpg;jpeg;jpe;jfif"}, {"TIFF", "tif;tiff"}, {"PNG", "png"}, {"GIF", "gif"}, {"BMP", "bmp;dib"},
};

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};

std::string readBytes(const std::string& path) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) raise(kHostErrFileNotFound, "no such file: " + path);
        raise(kHostErrFileOpen, "cannot open " + path + ": " + std::strerror(error));
    }
    if (S_ISDIR(info.st_mode)) raise(kHostErrFileOpen, "cannot open " + path + ": it is a folder");
    // A FIFO or device would block or never end.
    if (!S_ISREG(info.st_mode)) raise(kHostErrFileOpen, "cannot open " + path + ": not a regular file");
    if (info.st_size > kMaxImageFileBytes)
        raise(kHostErrBadImage, path + " is too large for an image file (" + std::to_string(info.st_size) + " bytes)");
    std::unique_ptr<FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) raise(kHostErrFileOpen, "cannot open " + path + ": " + std::strerror(errno));
    // Only what is there counts: a file that shrank since is read as it is now.
    std::string bytes(static_cast<size_t>(info.st_size), '\0');
    bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
    if (std::ferror(file.get())) raise(kHostErrFileRead, "cannot read " + path);
    if (bytes.empty()) raise(kHostErrBadImage, path + " is empty");
    return bytes;
}

bool startsWith(const std::string& bytes, const char* signature, size_t length) {
    return bytes.size() >= length && std::memcmp(bytes.data(), signature, length) == 0;
}

const char* colorSpaceName(int32_t components) {
    return components == 1 ? "/DeviceGray" : components == 3 ? "/DeviceRGB" : "/DeviceCMYK";
}

QPDFObjectHandle newImage(QPDF& qpdf, const ImagePixels& image, int32_t components, const std::string& data,
                          const char* filter) {
    QPDFObjectHandle stream = qpdf.newStream();
    QPDFObjectHandle dict = stream.getDict();
    dict.replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
    dict.replaceKey("/Subtype", QPDFObjectHandle::newName("/Image"));
    dict.replaceKey("/Width", QPDFObjectHandle::newInteger(image.width));
    dict.replaceKey("/Height", QPDFObjectHandle::newInteger(image.height));
    dict.replaceKey("/ColorSpace", QPDFObjectHandle::newName(colorSpaceName(components)));
    dict.replaceKey("/BitsPerComponent", QPDFObjectHandle::newInteger(8));
    stream.replaceStreamData(data, QPDFObjectHandle::newName(filter), QPDFObjectHandle::newNull());
    return stream;
}

QPDFObjectHandle imageXObject(QPDF& qpdf, const ImagePixels& image) {
    if (image.dct) {
        QPDFObjectHandle stream = newImage(qpdf, image, image.components, image.samples, "/DCTDecode");
        if (image.invertedCmyk)
            stream.getDict().replaceKey("/Decode", QPDFObjectHandle::parse("[1 0 1 0 1 0 1 0]"));
        return stream;
    }
    QPDFObjectHandle stream =
        newImage(qpdf, image, image.components, flateEncode(image.samples), "/FlateDecode");
    if (!image.alpha.empty())
        stream.getDict().replaceKey("/SMask", newImage(qpdf, image, 1, flateEncode(image.alpha), "/FlateDecode"));
    return stream;
}

}  // namespace

ImagePixels readImageFile(const std::string& path) {
    const std::string bytes = readBytes(path);
    if (startsWith(bytes, "\xFF\xD8\xFF", 3)) return readJpegImage(bytes, path);
    if (startsWith(bytes, "II*\0", 4) || startsWith(bytes, "MM\0*", 4) || startsWith(bytes, "II+\0", 4) ||
        startsWith(bytes, "MM\0+", 4))
        return readTiffImage(bytes, path);
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n", 8)) return readQtImage(bytes, "png", path);
    if (startsWith(bytes, "GIF87a", 6) || startsWith(bytes, "GIF89a", 6)) return readQtImage(bytes, "gif", path);
    if (startsWith(bytes, "BM", 2)) return readQtImage(bytes, "bmp", path);
    raise(kHostErrBadImage, path + " is not a JPEG, TIFF, PNG, GIF or BMP image");
}

std::unique_ptr<QPDF> makeImageDocument(const ImagePixels& image) {
    auto qpdf = std::make_unique<QPDF>();
    qpdf->setSuppressWarnings(true);
    qpdf->emptyPDF();
    const std::string width = std::to_string(image.width);
    const std::string height = std::to_string(image.height);
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    QPDFObjectHandle xobjects = QPDFObjectHandle::newDictionary();
    xobjects.replaceKey("/Im0", imageXObject(*qpdf, image));
    resources.replaceKey("/XObject", xobjects);
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", QPDFObjectHandle::parse("[0 0 " + width + " " + height + "]"));
    page.replaceKey("/Resources", resources);
    // The unit square scaled to the page: one pixel on one point.
    page.replaceKey("/Contents", qpdf->newStream("q " + width + " 0 0 " + height + " 0 0 cm /Im0 Do Q\n"));
    qpdf->addPage(qpdf->makeIndirectObject(page), true);
    return qpdf;
}

namespace pdmodel {

PDDoc docOpenImage(ASPathName path) {
    if (hostMajorVersion() < kFirstImageHostVersion)
        raise(kHostErrUnsupported, "docOpenImage: host version " + std::to_string(hostMajorVersion()) +
                                       " does not open image files as documents (version " +
                                       std::to_string(kFirstImageHostVersion) + " and later do)");
    const std::string text = pathOf(path);
    std::unique_ptr<QPDF> qpdf = guarded("docOpenImage", [&] { return makeImageDocument(readImageFile(text)); });
    return registerDocument(std::move(qpdf), std::string()).pdDoc();
}

int32_t getImageConversionCount() { return static_cast<int32_t>(std::size(kConversions)); }

const char* getImageConversionDescription(int32_t index, const char** extensions) {
    const bool known = index >= 0 && index < getImageConversionCount();
    if (extensions) *extensions = known ? kConversions[index].extensions : nullptr;
    return known ? kConversions[index].description : nullptr;
}

}  // namespace pdmodel
}  // namespace qmhost
