// libqmhostimages.so: PNG, GIF and BMP files through Qt's image readers, from
// memory (convert/ImageReaderLibrary.h). Built apart from the host's static
// layers and opened on the first such file; it sees nothing of the host but
// this table.
#include <QBuffer>
#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

#include "convert/ImageReaderLibrary.h"

namespace qmhost {
namespace {

// Qt refuses images above its own allocation limit; the size is checked
// against the host's limit instead, so Qt's is lifted while the file is read.
class AllocationLimitLifted {
public:
    AllocationLimitLifted() : mOld(QImageReader::allocationLimit()) { QImageReader::setAllocationLimit(0); }
    ~AllocationLimitLifted() { QImageReader::setAllocationLimit(mOld); }
    AllocationLimitLifted(const AllocationLimitLifted&) = delete;
    AllocationLimitLifted& operator=(const AllocationLimitLifted&) = delete;

private:
    int mOld;
};

bool sizeRefused(int64_t width, int64_t height, bool (*sizeAllowed)(int64_t, int64_t), ImageReadFailure* failure) {
    if (sizeAllowed(width, height)) return false;
    failure->sizeRefused = true;
    failure->width = width;
    failure->height = height;
    return true;
}

bool read(const std::string& bytes, const char* format, bool (*sizeAllowed)(int64_t, int64_t), RgbaConsumer consume,
          void* context, ImageReadFailure* failure) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead()) {
        failure->why = reader.errorString().toStdString();
        return false;
    }
    // The size from the header, before any pixel memory is taken.
    const QSize size = reader.size();
    if (size.isValid() && sizeRefused(size.width(), size.height(), sizeAllowed, failure)) return false;
    QImage image;
    {
        AllocationLimitLifted lifted;
        if (!reader.read(&image) || image.isNull()) {
            failure->why = reader.errorString().toStdString();
            return false;
        }
    }
    if (sizeRefused(image.width(), image.height(), sizeAllowed, failure)) return false;
    // Straight RGBA in sRGB.
    const QColorSpace space = image.colorSpace();
    image.convertTo(QImage::Format_RGBA8888);
    if (space.isValid() && space != QColorSpace(QColorSpace::SRgb)) image.convertToColorSpace(QColorSpace::SRgb);
    consume(image.width(), image.height(), image.constBits(), static_cast<size_t>(image.bytesPerLine()), context);
    return true;
}

const ImageReaderLibrary kLibrary = {read};

}  // namespace
}  // namespace qmhost

extern "C" __attribute__((visibility("default"))) const qmhost::ImageReaderLibrary* qmhostImageReaderLibrary() {
    return &qmhost::kLibrary;
}
