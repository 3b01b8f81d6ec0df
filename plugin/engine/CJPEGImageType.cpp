#include "engine/CJPEGImageType.h"

#include "engine/CJPEGASStream.h"
#include "engine/ImageColorSpaces.h"
#include "engine/JpegErrors.h"
#include "engine/JpegSource.h"
#include "support/Alerts.h"
#include "support/io/CBridgeStream.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"
#include "support/ScopeGuard.h"

namespace {

// What libjpeg may hold for one image at most (progressive files keep every
// coefficient): beyond the sample limit this refuses, the memory manager
// stops with an error instead of allocating on.
constexpr long kJpegMemoryLimit = 768L * 1024 * 1024;

void CreateStep(j_common_ptr cinfo, void*) {
    jpeg_create_decompress(reinterpret_cast<j_decompress_ptr>(cinfo));
}

void SourceStep(j_common_ptr cinfo, void* stream) {
    InstallJpegStreamSource(reinterpret_cast<j_decompress_ptr>(cinfo),
                            static_cast<CBridgeStream*>(stream));
}

void HeaderStep(j_common_ptr cinfo, void*) {
    const auto d = reinterpret_cast<j_decompress_ptr>(cinfo);
    jpeg_read_header(d, TRUE);
    jpeg_calc_output_dimensions(d);
}

void StartStep(j_common_ptr cinfo, void*) {
    jpeg_start_decompress(reinterpret_cast<j_decompress_ptr>(cinfo));
}

void FinishStep(j_common_ptr cinfo, void*) {
    jpeg_finish_decompress(reinterpret_cast<j_decompress_ptr>(cinfo));
}

[[noreturn]] void FailRead() {
    SetErrorMessage("Failed To Open Image");
    ThrowErrorCode(kErrImageRead);
}

int32_t ColorCodeOf(J_COLOR_SPACE space) {
    switch (space) {
        case JCS_GRAYSCALE: return kImageColorGray;
        case JCS_RGB: return kImageColorRGB;
        case JCS_CMYK: return kImageColorCMYK;
        default: return -1;
    }
}

ASAtom ColorSpaceAtom(int32_t code) {
    switch (code) {
        case kImageColorGray: return gAtomDeviceGray;
        case kImageColorRGB: return gAtomDeviceRGB;
        default: return gAtomDeviceCMYK;
    }
}

}  // namespace

CJPEGImageType::CJPEGImageType() : CJPEGImageType(nullptr) {}

CJPEGImageType::CJPEGImageType(CBridgeStream* stream)
    : CImageType(stream), mErrors(std::make_unique<JpegErrorManager>()) {
    InitJpegErrorManager(*mErrors);
}

// Every operation releases what it made before it returns; the stream (not
// owned, perhaps gone by now) is not touched here.
CJPEGImageType::~CJPEGImageType() {
    if (mDecompressorMade) jpeg_destroy_decompress(mDecompressor.get());
}

int32_t CJPEGImageType::GetWidth() {
    if (!mOpened) Open();
    return mWidth;
}

int32_t CJPEGImageType::GetHeight() {
    if (!mOpened) Open();
    return mHeight;
}

int32_t CJPEGImageType::GetBitsPerComponent() {
    if (!mOpened) Open();
    return mBitsPerComponent;
}

int32_t CJPEGImageType::GetColorSpace() {
    if (!mOpened) Open();
    return mColorSpace;
}

int32_t CJPEGImageType::GetWarningCount() const {
    return int32_t(mErrors->pub.num_warnings);
}

void CJPEGImageType::SetJPEGStreamSource(jpeg_decompress_struct* decompressor,
                                         CBridgeStream* stream) {
    if (!JpegProtected(reinterpret_cast<j_common_ptr>(decompressor), SourceStep, stream))
        FailRead();
}

void CJPEGImageType::ReleaseDecompression() {
    if (mDecompressorMade) {
        jpeg_destroy_decompress(mDecompressor.get());
        mDecompressorMade = false;
    }
    mDecompressor.reset();
    if (mStream) mStream->Close();
}

// Header and colour space, shared by Open and MakeImageXObject. Leaves the
// decompressor made and the stream open; the caller releases both.
void CJPEGImageType::StartDecompression() {
    ReleaseDecompression();
    if (mStream == nullptr) FailRead();
    mDecompressor = std::make_unique<jpeg_decompress_struct>();
    auto* cinfo = reinterpret_cast<j_common_ptr>(mDecompressor.get());
    cinfo->err = &mErrors->pub;
    mErrors->pub.num_warnings = 0;
    if (!JpegProtected(cinfo, CreateStep, nullptr)) FailRead();
    mDecompressorMade = true;
    cinfo->mem->max_memory_to_use = kJpegMemoryLimit;

    if (!mStream->Open(kStreamRead)) FailRead();
    SetJPEGStreamSource(mDecompressor.get(), mStream);
    if (!JpegProtected(cinfo, HeaderStep, nullptr)) FailRead();

    const jpeg_decompress_struct& d = *mDecompressor;
    const int32_t code = ColorCodeOf(d.out_color_space);
    if (code < 0) {
        Alert("Color Space: %d", int(d.out_color_space));
        SetErrorMessage("Failed To Open Image");
        ThrowErrorCode(kErrImageColorSpace);
    }
    CheckImageSize(d.output_width, d.output_height, d.out_color_components, "JPEG");
    mWidth = int32_t(d.output_width);
    mHeight = int32_t(d.output_height);
    mBitsPerComponent = 8;
    mColorSpace = code;
    // Files with an APP14 marker store CMYK inverted (the convention of the
    // programs that write them); delivered as is they print as a negative.
    mInvert = code == kImageColorCMYK && d.saw_Adobe_marker;
}

void CJPEGImageType::Open() {
    {
        const auto release = OnFailure([this] { ReleaseDecompression(); });
        StartDecompression();
    }
    // Only the header is needed: no image data is decoded here.
    mOpened = true;
    ReleaseDecompression();
}

CosObj CJPEGImageType::MakeImageXObject(PDDoc doc, int32_t filterCode, ASAtom* outColorSpace) {
    struct Release {
        CJPEGImageType* type;
        ~Release() { type->ReleaseDecompression(); }
    } release{this};

    const CosDoc cosDoc = CallHost([&] { return gPDModelHFT->docGetCosDoc(doc); });
    StartDecompression();
    auto* cinfo = reinterpret_cast<j_common_ptr>(mDecompressor.get());
    if (!JpegProtected(cinfo, StartStep, nullptr)) FailRead();
    ASAtom localName = 0;
    ASAtom& name = outColorSpace ? *outColorSpace : localName;
    name = ColorSpaceAtom(mColorSpace);
    mOpened = true;

    CCosDict dict(cosDoc, false, 6);
    dict.PutName(gAtomType, gAtomXObject);
    dict.PutName(gAtomSubtype, gAtomImage);
    dict.PutInteger(gAtomWidth, mWidth);
    dict.PutInteger(gAtomHeight, mHeight);
    dict.PutName(gAtomColorSpace, name);
    dict.PutInteger(gAtomBitsPerComponent, 8);
    if (filterCode != kImageFilterNone) dict.PutName(gAtomFilter, GetFilterAtom(filterCode));

    CJPEGASStream samples;
    samples.SetInvert(mInvert);
    samples.AttachDecompressor(mDecompressor.get());
    const CosObj parms = MakeImageDecodeParms(dict);
    CCosStream image;
    image.CreateStream(cosDoc, samples.Get(), -1, 1, dict.GetCosObj(), parms, -1);

    // The host stops pulling at the first short read; anything short of the
    // whole image is a failure, never a smaller image.
    const uint64_t expected =
        uint64_t(mWidth) * uint64_t(mHeight) * uint64_t(mDecompressor->output_components);
    if (samples.GetDelivered() != expected) {
        SetErrorMessage("Buffer Underflow");
        ThrowErrorCode(kErrImageUnderflow);
    }
    if (!JpegProtected(cinfo, FinishStep, nullptr)) FailRead();
    return image.GetCosObj();
}
