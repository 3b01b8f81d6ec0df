// Writing a page-content image as a JPEG file through libjpeg: a destination
// manager over the output stream (4096 bytes at a time), quality 50.
#include "engine/CJPEGImageType.h"

#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "engine/ImageExportSamples.h"
#include "engine/ImageFileOutput.h"
#include "engine/ImageReadProgress.h"
#include "engine/JpegErrors.h"
#include "engine/ImageColorSpaces.h"
#include "support/CallbackGuard.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorMessage.h"
#include "support/io/CBridgeFileStream.h"
#include "support/io/CBridgeStream.h"

namespace {

constexpr size_t kJpegBufferSize = 4096;

struct JpegDestination {
    jpeg_destination_mgr pub;  // first: libjpeg sees a jpeg_destination_mgr
    CBridgeStream* stream;
    JOCTET buffer[kJpegBufferSize];
};

// Writes without letting an exception into libjpeg's frames.
bool writeBytes(CBridgeStream* stream, const void* data, size_t size) noexcept {
    return TrapOr(false, [&] { return stream->Write(data, size) == size; });
}

void initDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kJpegBufferSize;
}

boolean emptyBuffer(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    if (!writeBytes(dest->stream, dest->buffer, kJpegBufferSize)) ERREXIT(cinfo, JERR_FILE_WRITE);
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<JpegDestination*>(cinfo->dest);
    const size_t filled = kJpegBufferSize - dest->pub.free_in_buffer;
    if (filled && !writeBytes(dest->stream, dest->buffer, filled)) ERREXIT(cinfo, JERR_FILE_WRITE);
}

struct CompressJob {
    JpegDestination* dest;
    const ImageExportSamples* image;
    int components;
    J_COLOR_SPACE space;
    JSAMPLE* row;  // a row's worth of room, for inverted CMYK
};

// Inside libjpeg: plain C, no objects with destructors.
void compressStep(j_common_ptr common, void* argument) {
    auto* job = static_cast<CompressJob*>(argument);
    auto* cinfo = reinterpret_cast<j_compress_ptr>(common);
    jpeg_create_compress(cinfo);
    job->dest->pub.init_destination = initDestination;
    job->dest->pub.empty_output_buffer = emptyBuffer;
    job->dest->pub.term_destination = termDestination;
    cinfo->dest = &job->dest->pub;
    cinfo->image_width = static_cast<JDIMENSION>(job->image->width);
    cinfo->image_height = static_cast<JDIMENSION>(job->image->height);
    cinfo->input_components = job->components;
    cinfo->in_color_space = job->space;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, 50, TRUE);
    jpeg_start_compress(cinfo, TRUE);
    const size_t rowBytes = static_cast<size_t>(job->image->width) * static_cast<size_t>(job->components);
    auto* samples = reinterpret_cast<JSAMPLE*>(const_cast<char*>(job->image->samples.data()));
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = samples + cinfo->next_scanline * rowBytes;
        if (job->space == JCS_CMYK) {
            // libjpeg marks a CMYK file with the APP14 marker, under which
            // readers take the samples as inverted: store them so.
            for (size_t i = 0; i < rowBytes; ++i) job->row[i] = static_cast<JSAMPLE>(255 - row[i]);
            row = job->row;
        }
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
}

// A JPEG file holds 8-bit samples: 16-bit ones (big-endian) are scaled down.
ImageExportSamples eightBitSamples(const ImageExportSamples& samples) {
    if (samples.bitsPerComponent != 16) return samples;
    ImageExportSamples out = samples;
    out.bitsPerComponent = 8;
    out.samples.resize(samples.samples.size() / 2);
    for (size_t i = 0; i < out.samples.size(); ++i) {
        const unsigned value = unsigned(static_cast<unsigned char>(samples.samples[2 * i])) << 8 |
                               static_cast<unsigned char>(samples.samples[2 * i + 1]);
        out.samples[i] = static_cast<char>((value + 128) / 257);
    }
    return out;
}

void compress(CBridgeFileStream& file, const ImageExportSamples& samples, int components, J_COLOR_SPACE space) {
    JpegErrorManager errors;
    InitJpegErrorManager(errors);
    jpeg_compress_struct cinfo;
    std::memset(&cinfo, 0, sizeof cinfo);
    cinfo.err = &errors.pub;
    JpegDestination dest;
    dest.stream = &file;
    std::vector<JSAMPLE> invertedRow(static_cast<size_t>(samples.width) * static_cast<size_t>(components));
    CompressJob job{&dest, &samples, components, space, invertedRow.data()};
    const bool written = JpegProtected(reinterpret_cast<j_common_ptr>(&cinfo), compressStep, &job);
    jpeg_destroy_compress(&cinfo);
    if (!written) {
        SetErrorMessage("Error Writing Image");
        ThrowErrorCode(kErrOpenFile);
    }
}

}  // namespace

void CJPEGImageType::WriteImageFile(AVDoc view, int32_t pageNumber, CPDEImage& image) {
    CPDPageHolder page(view, pageNumber);  // the page stays while its image is written
    const ImageExportSamples samples = eightBitSamples(ReadImageExportSamples(image));
    int components = 0;
    J_COLOR_SPACE space = JCS_UNKNOWN;
    switch (samples.family) {
    case kFamilyDeviceGray: case kFamilyCalGray: case kFamilyICC1: components = 1, space = JCS_GRAYSCALE; break;
    case kFamilyDeviceRGB: case kFamilyCalRGB: case kFamilyICC3: components = 3, space = JCS_RGB; break;
    case kFamilyDeviceCMYK: case kFamilyICC4: components = 4, space = JCS_CMYK; break;
    default: RefuseExportColorSpace();
    }
    // Depths below 8 would be written as garbage.
    if (samples.bitsPerComponent != 8) RefuseExportColorSpace();
    const int64_t rowBytes = int64_t(samples.width) * components;
    CheckImageExportRows(samples, rowBytes);
    if (!mStream || !mStream->GetPathText() || !*mStream->GetPathText()) {
        SetErrorMessage("No file to write the image to");
        ThrowErrorCode(kErrOpenFile);
    }
    ImageReadProgress progress;
    progress.Begin(uint64_t(samples.height) * uint64_t(rowBytes));
    WriteImageFileWhole(mStream->GetPathText(), [&](const char* path) {
        CBridgeFileStream file;
        if (!file.SetPathText(path) || !file.Open(kStreamWrite | kStreamTruncate)) {
            SetErrorMessage(std::string("Cannot write the image file ") + mStream->GetPathText());
            ThrowErrorCode(kErrOpenFile);
        }
        compress(file, samples, components, space);
        file.Close();
    });
    progress.SetValue(uint64_t(samples.height) * uint64_t(rowBytes));
}
