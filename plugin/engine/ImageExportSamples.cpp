#include "engine/ImageExportSamples.h"

#include "engine/CImageType.h"
#include "engine/ImageColorSpaces.h"
#include "pagecontent/CPDEImage.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/cos/PDFAtoms.h"

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
    out.bitsPerComponent = dict.HasKey(gAtomBitsPerComponent) ? dict.GetInteger(gAtomBitsPerComponent, true) : 1;
    out.family = GetImageColorSpaceFamily(dict);
    CheckImageSize(out.width, out.height, 1, "Image export");
    const int32_t length = image.GetDataLength();
    out.samples.resize(static_cast<size_t>(length));
    if (length > 0) image.GetData(reinterpret_cast<uint8_t*>(out.samples.data()));
    return out;
}

void CheckImageExportRows(const ImageExportSamples& image, int64_t rowBytes) {
    if (static_cast<int64_t>(image.samples.size()) < rowBytes * image.height) {
        SetErrorMessage("Error Writing Image Underflow");
        ThrowErrorCode(kErrImageUnderflow);
    }
}
