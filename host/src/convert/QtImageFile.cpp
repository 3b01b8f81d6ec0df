// PNG, GIF and BMP files through Qt's image readers, from memory.
#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

#include <cstring>

#include "core/Raise.h"
#include "convert/ImageFileChecks.h"
#include "convert/ImagePixels.h"

namespace qmhost {
namespace {

std::string kindName(const char* format) { return QByteArray(format).toUpper().toStdString(); }

[[noreturn]] void refuse(const std::string& name, const char* format, const QString& why) {
    raise(kHostErrBadImage, name + " is not a readable " + kindName(format) + " image: " + why.toStdString());
}

// Qt refuses images above its own allocation limit; the size was checked
// against the host's limit already, so Qt's is lifted while the file is read.
class AllocationLimitLifted {
public:
    AllocationLimitLifted() : mOld(QImageReader::allocationLimit()) { QImageReader::setAllocationLimit(0); }
    ~AllocationLimitLifted() { QImageReader::setAllocationLimit(mOld); }
    AllocationLimitLifted(const AllocationLimitLifted&) = delete;
    AllocationLimitLifted& operator=(const AllocationLimitLifted&) = delete;

private:
    int mOld;
};

}  // namespace

ImagePixels readQtImage(const std::string& bytes, const char* format, const std::string& name) {
    if (std::strcmp(format, "png") == 0) checkPngFile(bytes, name);
    if (std::strcmp(format, "gif") == 0) checkGifFile(bytes, name);
    if (std::strcmp(format, "bmp") == 0) checkBmpFile(bytes, name);
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead()) refuse(name, format, reader.errorString());
    // The size from the header, before any pixel memory is taken.
    const QSize size = reader.size();
    if (size.isValid()) checkImageDimensions(size.width(), size.height(), name);
    QImage image;
    {
        AllocationLimitLifted lifted;
        if (!reader.read(&image) || image.isNull()) refuse(name, format, reader.errorString());
    }
    checkImageDimensions(image.width(), image.height(), name);
    // Straight RGBA in sRGB.
    const QColorSpace space = image.colorSpace();
    image.convertTo(QImage::Format_RGBA8888);
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb)) image.convertToColorSpace(QColorSpace::SRgb);
    return pixelsFromRgba(image.width(), image.height(), image.constBits(), static_cast<size_t>(image.bytesPerLine()));
}

}  // namespace qmhost
