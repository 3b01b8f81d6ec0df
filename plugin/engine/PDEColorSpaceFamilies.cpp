#include "engine/PDEColorSpaceFamilies.h"

#include <cstring>

#include "engine/ImageColorSpaces.h"
#include "pagecontent/CPDEColorSpace.h"
#include "pagecontent/CPDEImage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"

namespace {

const char* atomText(ASAtom atom) {
    const char* text = atom == kASAtomNull ? nullptr : CallHost([&] { return gCoreHFT->atomGetString(atom); });
    return text ? text : "";
}

CosDoc cosDocOf(CosObj object) { return CallHost([&] { return gCosHFT->objGetDoc(object); }); }

}  // namespace

int32_t GetPDEColorSpaceFamily(const CPDEColorSpace& space) {
    struct Family {
        const char* name;
        int32_t family;
    };
    static const Family kFamilies[] = {{"DeviceGray", kFamilyDeviceGray}, {"DeviceRGB", kFamilyDeviceRGB},
                                       {"DeviceCMYK", kFamilyDeviceCMYK}, {"CalGray", kFamilyCalGray},
                                       {"CalRGB", kFamilyCalRGB},         {"Lab", kFamilyLab},
                                       {"ICCBased", kFamilyICC1},         {"DeviceN", kFamilyDeviceN},
                                       {"Separation", kFamilySeparation}, {"Pattern", kFamilyPattern}};
    const char* name = atomText(space.GetName());
    if (std::strcmp(name, "Indexed") == 0) {
        const char* base = atomText(space.GetBase());
        if (std::strcmp(base, "DeviceRGB") == 0) return kFamilyIndexedRGB;
        if (std::strcmp(base, "DeviceCMYK") == 0) return kFamilyIndexedCMYK;
        if (std::strcmp(base, "CalRGB") == 0) return kFamilyIndexedCalRGB;
        return kFamilyUnknown;
    }
    for (const Family& f : kFamilies)
        if (std::strcmp(name, f.name) == 0) return f.family;
    return kFamilyUnknown;
}

int32_t GetPDEImageColorSpaceFamilyByName(CPDEImage& image) {
    PDEColorSpace space = image.GetColorSpace();
    if (!space) return kFamilyDeviceGray;  // a stencil mask
    return GetPDEColorSpaceFamily(CPDEColorSpace(space));
}

int32_t GetPDEImageColorSpaceFamily(CPDEImage& image) {
    if (!image.IsCosObj()) return GetPDEImageColorSpaceFamilyByName(image);
    CosObj object;
    image.GetCosObj(object);
    return GetXObjectColorSpaceFamily(cosDocOf(object), object);
}

int32_t GetPDEColorSpaceComponents(const CPDEColorSpace& space) {
    return space.IsIndexed() ? 1 : space.GetNumComps();
}

int32_t GetPDEImageColorSpaceComponents(CPDEImage& image) {
    PDEColorSpace space = image.GetColorSpace();
    return space ? GetPDEColorSpaceComponents(CPDEColorSpace(space)) : 1;
}

int32_t GetPDEDeviceNComponents(CPDEImage& image) {
    if (!image.IsCosObj()) return GetPDEImageColorSpaceComponents(image);
    CosObj object;
    image.GetCosObj(object);
    CCosStream stream(cosDocOf(object), object);
    return GetDeviceNComponents(*stream.GetAttributesDict());
}

int32_t ColorSpaceFamilyComponentsForPDEImage(int32_t family, CPDEImage& image) {
    return family == kFamilyDeviceN ? GetPDEDeviceNComponents(image) : ColorSpaceFamilyComponents(family);
}

int32_t GetPDEImageComponentCount(CPDEImage& image) {
    if (image.IsCosObj()) return ColorSpaceFamilyComponentsForPDEImage(GetPDEImageColorSpaceFamily(image), image);
    return GetPDEImageColorSpaceComponents(image);
}
