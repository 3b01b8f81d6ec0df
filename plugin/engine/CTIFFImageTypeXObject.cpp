// CTIFFImageType::MakeImageXObject: the image XObject over the TIFF's strips.
#include <array>

#include "engine/CStrippedTIFFASStream.h"
#include "engine/CTIFFImageType.h"
#include "engine/ImageColorSpaces.h"
#include "engine/TIFFLibrary.h"
#include "support/Alerts.h"
#include "support/cos/CASStream.h"
#include "support/cos/CCosArray.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

ASAtom ColorSpaceAtom(int32_t code) {
    switch (code) {
        case kImageColorGray: return gAtomDeviceGray;
        case kImageColorCMYK: return gAtomDeviceCMYK;
        default: return gAtomDeviceRGB;  // RGB, and the base of a palette
    }
}

// [/Indexed /DeviceRGB 255 lookup]: the lookup holds the low bytes of the
// scaled map's red, green and blue for each of the 256 entries, given plain
// and stored LZW-encoded by the host.
CosObj MakeIndexedColorSpace(CosDoc cosDoc, const uint16_t* map) {
    std::array<char, 768> lookup{};
    for (size_t i = 0; i < 256; ++i) {
        lookup[3 * i] = char(map[i] & 0xFF);
        lookup[3 * i + 1] = char(map[256 + i] & 0xFF);
        lookup[3 * i + 2] = char(map[512 + i] & 0xFF);
    }
    CASStream memory;
    memory.OpenMemStream(lookup.data(), int64_t(lookup.size()));
    CCosDict lookupDict(cosDoc, false, 1);
    lookupDict.PutName(gAtomFilter, gAtomLZWDecode);
    CCosStream table;
    table.CreateStream(cosDoc, memory.Get(), 0, 1, lookupDict.GetCosObj(), CosNullObj(),
                       int64_t(lookup.size()));
    memory.Close();

    CCosArray space(cosDoc, false, 4);
    space.PutName(0, gAtomIndexed);
    space.PutName(1, gAtomDeviceRGB);
    space.PutInteger(2, 255);
    space.PutValue(3, table.GetCosObj());
    return space.GetCosObj();
}

}  // namespace

CosObj CTIFFImageType::MakeImageXObject(PDDoc doc, int32_t filterCode, ASAtom* outColorSpace) {
    const TIFFLibrary& libtiff = GetTIFFLibrary();
    const CosDoc cosDoc = CallHost([&] { return gPDModelHFT->docGetCosDoc(doc); });
    ASAtom localName = 0;
    ASAtom& name = outColorSpace ? *outColorSpace : localName;
    name = ASAtom(-1);
    OpenTIFF();
    struct Finisher {
        CTIFFImageType* type;
        ~Finisher() { type->Finish(); }
    } finisher{this};
    name = ColorSpaceAtom(mColorSpace);
    mOpened = true;

    CStrippedTIFFASStream samples(mTiff);
    if (mColorSpace == kImageColorIndexed) {
        uint16_t* red = nullptr;
        uint16_t* green = nullptr;
        uint16_t* blue = nullptr;
        if (!libtiff.TIFFGetField(mTiff, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue)
            RefuseImage("The TIFF palette image has no colour map", kErrImageColorSpace);
        samples.SetColorMap(red, green, blue);
    }
    if (mPhotometric == PHOTOMETRIC_MINISWHITE) samples.SetInvert();

    CCosDict dict(cosDoc, false, 6);
    dict.PutName(gAtomType, gAtomXObject);
    dict.PutName(gAtomSubtype, gAtomImage);
    dict.PutInteger(gAtomWidth, int32_t(mWidth));
    dict.PutInteger(gAtomHeight, int32_t(mHeight));
    dict.PutInteger(gAtomBitsPerComponent, mBitsPerComponent);
    if (mColorSpace == kImageColorIndexed)
        dict.PutValue(gAtomColorSpace, MakeIndexedColorSpace(cosDoc, samples.GetColorMap()));
    else
        dict.PutName(gAtomColorSpace, name);
    if (filterCode != kImageFilterNone) dict.PutName(gAtomFilter, GetFilterAtom(filterCode));

    const CosObj parms = MakeImageDecodeParms(dict);
    CCosStream image;
    image.CreateStream(cosDoc, samples.Get(), -1, 1, dict.GetCosObj(), parms, -1);

    // The whole image or a failure: never a shorter image stored as success.
    const uint64_t expected = uint64_t(libtiff.TIFFScanlineSize64(mTiff)) * mHeight;
    if (samples.GetDelivered() != expected) {
        SetErrorMessage("Buffer Underflow");
        ThrowErrorCode(kErrImageUnderflow);
    }
    return image.GetCosObj();
}
