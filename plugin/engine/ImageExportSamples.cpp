#include "engine/ImageExportSamples.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/CImageType.h"
#include "engine/ImageColorSpaces.h"
#include "pagecontent/CPDEImage.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/CCosArray.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/cos/PDFAtoms.h"

namespace {

bool isIndexed(int32_t family) {
    switch (family) {
    case kFamilyIndexedRGB: case kFamilyIndexedLab: case kFamilyIndexedCMYK: case kFamilyIndexedCalRGB:
    case kFamilyIndexedICC3: case kFamilyIndexedICC3Lab: case kFamilyIndexedICC4: case kFamilyIndexedDeviceN:
        return true;
    default: return false;
    }
}

// The "Decode" array as numbers, two per component; empty when there is none
// or it is not one (a reader then draws the image as if it had none).
std::vector<double> readDecode(CCosDict& dict, size_t components) {
    std::vector<double> decode;
    if (components == 0 || !dict.HasKey(gAtomDecode)) return decode;
    const CCosObj value(dict.GetCosDoc(), dict.GetValue(gAtomDecode, true));
    if (value.GetType() != CosArray) return decode;
    const CCosArray array(dict.GetCosDoc(), value.GetCosObj());
    if (static_cast<size_t>(array.GetLength()) != 2 * components) return decode;
    for (int32_t i = 0; i < array.GetLength(); ++i) {
        const CCosObj number(dict.GetCosDoc(), array.GetValue(i));
        if (number.GetType() != CosInteger && number.GetType() != CosFixed) return {};
        decode.push_back(number.GetFloat());
    }
    return decode;
}

uint32_t readSample(const unsigned char* row, size_t index, unsigned bits) {
    if (bits == 8) return row[index];
    if (bits == 16) return uint32_t(row[2 * index]) << 8 | row[2 * index + 1];
    const size_t bit = index * bits;
    return (row[bit / 8] >> (8 - bits - static_cast<unsigned>(bit % 8))) & ((1u << bits) - 1);
}

void writeSample(unsigned char* row, size_t index, unsigned bits, uint32_t value) {
    if (bits == 8) {
        row[index] = static_cast<unsigned char>(value);
    } else if (bits == 16) {
        row[2 * index] = static_cast<unsigned char>(value >> 8);
        row[2 * index + 1] = static_cast<unsigned char>(value);
    } else {
        const size_t bit = index * bits;
        const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
        const unsigned mask = ((1u << bits) - 1) << shift;
        row[bit / 8] = static_cast<unsigned char>((row[bit / 8] & ~mask) | (value << shift));
    }
}

// Maps every sample through the decode range of its component, back to the
// sample range: a colour value of 0..1, or a palette index (clamped to what the
// depth can hold).
void applyDecode(ImageExportSamples& image, size_t components, bool indexed, const std::vector<double>& decode) {
    const int depth = image.bitsPerComponent;
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8 && depth != 16) return;  // refused by the writers
    const unsigned bits = static_cast<unsigned>(depth);
    const uint32_t top = bits == 16 ? 65535u : (1u << bits) - 1;
    bool identity = true;
    for (size_t c = 0; c < components; ++c)
        identity = identity && decode[2 * c] == 0 && decode[2 * c + 1] == (indexed ? top : 1.0);
    if (identity) return;
    std::vector<std::vector<uint32_t>> tables(components, std::vector<uint32_t>(top + 1));
    for (size_t c = 0; c < components; ++c) {
        const double low = decode[2 * c], high = decode[2 * c + 1];
        for (uint32_t v = 0; v <= top; ++v) {
            const double value = low + v * (high - low) / top;
            const double sample = std::round(indexed ? value : value * top);
            tables[c][v] = static_cast<uint32_t>(std::clamp(sample, 0.0, double(top)));
        }
    }
    const size_t perRow = static_cast<size_t>(image.width) * components;
    const size_t rowBytes = (perRow * bits + 7) / 8;
    if (rowBytes == 0) return;
    const size_t rows = std::min(static_cast<size_t>(image.height), image.samples.size() / rowBytes);
    auto* data = reinterpret_cast<unsigned char*>(image.samples.data());
    for (size_t y = 0; y < rows; ++y) {
        unsigned char* row = data + y * rowBytes;
        for (size_t i = 0; i < perRow; ++i) writeSample(row, i, bits, tables[i % components][readSample(row, i, bits)]);
    }
}

}  // namespace

void RefuseExportColorSpace() {
    SetErrorMessage("Bad PDF Color Space");
    ThrowErrorCode(kErrImageColorSpace);
}

ImageExportSamples ReadImageExportSamples(CPDEImage& image) {
    if (!image.IsCosObj()) RefuseExportColorSpace();
    CosObj object;
    image.GetCosObj(object);
    const CosDoc doc = CallHost([&] { return gCosHFT->objGetDoc(object); });
    CCosStream stream(doc, object);
    CCosDict& dict = *stream.GetAttributesDict();
    ImageExportSamples out;
    out.width = dict.GetInteger(gAtomWidth, true);
    out.height = dict.GetInteger(gAtomHeight, true);
    const bool mask = dict.HasKey(gAtomImageMask) && dict.GetBoolean(gAtomImageMask, false);
    // An image mask paints its 0 samples (under the default decode) with the
    // fill colour: as a gray image they are black.
    out.bitsPerComponent =
        mask ? 1 : dict.HasKey(gAtomBitsPerComponent) ? dict.GetInteger(gAtomBitsPerComponent, true) : 1;
    out.family = mask ? kFamilyDeviceGray : GetImageColorSpaceFamily(dict);
    CheckImageSize(out.width, out.height, 1, "Image export");
    const int32_t length = image.GetDataLength();
    out.samples.resize(static_cast<size_t>(length));
    if (length > 0) image.GetData(reinterpret_cast<uint8_t*>(out.samples.data()));
    const bool indexed = isIndexed(out.family);
    const size_t components = indexed ? 1 : static_cast<size_t>(std::max(0, ColorSpaceFamilyComponents(out.family)));
    const std::vector<double> decode = readDecode(dict, components);
    if (!decode.empty()) applyDecode(out, components, indexed, decode);
    return out;
}

void CheckImageExportRows(const ImageExportSamples& image, int64_t rowBytes) {
    if (static_cast<int64_t>(image.samples.size()) < rowBytes * image.height) {
        SetErrorMessage("Error Writing Image Underflow");
        ThrowErrorCode(kErrImageUnderflow);
    }
}
