#include "engine/ImageColorSpaces.h"

#include <cstring>

#include "support/cos/CCosArray.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/ErrorCode.h"
#include "support/cos/PDFAtoms.h"
#include "support/ScopeGuard.h"

namespace {

// The name of obj, or kASAtomNull when it is not a name.
ASAtom NameOf(CosDoc doc, CosObj obj) {
    const CCosObj value(doc, obj);
    return value.GetType() == CosName ? value.GetName() : kASAtomNull;
}

struct IccFacts {
    bool isStream = false;
    bool hasAlternate = false;
    ASAtom alternate = kASAtomNull;  // a name, or null when not a name
    int32_t components = 0;          // "N" when there is no Alternate
    bool lab = false;
};

// The facts of [/ICCBased stream] that the families need.
IccFacts ReadIcc(const CCosArray& space) {
    IccFacts facts;
    const CCosObj element(space.GetCosDoc(), space.GetValue(1));
    if (element.GetType() != CosStream) return facts;
    facts.isStream = true;
    CCosStream profile(space.GetCosDoc(), element.GetCosObj());
    CCosDict& dict = *profile.GetAttributesDict();
    facts.hasAlternate = dict.HasKey(gAtomAlternate);
    if (facts.hasAlternate) {
        facts.alternate = NameOf(space.GetCosDoc(), dict.GetValue(gAtomAlternate, false));
        return facts;
    }
    facts.components = dict.GetInteger(gAtomN, true);
    if (facts.components == 3) facts.lab = IsICCProfileLab(profile);
    return facts;
}

int32_t IccFamily(const CCosArray& space) {
    const IccFacts icc = ReadIcc(space);
    if (!icc.isStream) return kFamilyUnknown;
    if (icc.hasAlternate) {
        if (icc.alternate == gAtomDeviceGray) return kFamilyDeviceGray;
        if (icc.alternate == gAtomDeviceRGB) return kFamilyDeviceRGB;
        if (icc.alternate == gAtomDeviceCMYK) return kFamilyDeviceCMYK;
        return kFamilyUnknown;
    }
    switch (icc.components) {
        case 1: return kFamilyICC1;
        case 3: return icc.lab ? kFamilyICC3Lab : kFamilyICC3;
        case 4: return kFamilyICC4;
        default: return kFamilyUnknown;
    }
}

int32_t IndexedIccFamily(const CCosArray& base) {
    const IccFacts icc = ReadIcc(base);
    if (!icc.isStream) return kFamilyUnknown;
    if (icc.hasAlternate) {
        if (icc.alternate == gAtomDeviceRGB) return kFamilyIndexedRGB;
        if (icc.alternate == gAtomDeviceCMYK) return kFamilyIndexedCMYK;
        return kFamilyUnknown;
    }
    if (icc.components == 3) return icc.lab ? kFamilyIndexedICC3Lab : kFamilyIndexedICC3;
    if (icc.components == 4) return kFamilyIndexedICC4;
    return kFamilyUnknown;
}

// The family of an indexed space by its base's name.
int32_t IndexedFamilyOfBaseName(ASAtom base) {
    if (base == gAtomDeviceRGB) return kFamilyIndexedRGB;
    if (base == gAtomLab) return kFamilyIndexedLab;
    if (base == gAtomCalRGB) return kFamilyIndexedCalRGB;
    if (base == gAtomDeviceCMYK) return kFamilyIndexedCMYK;
    return kFamilyUnknown;
}

int32_t IndexedFamily(const CCosArray& space) {
    const CosDoc doc = space.GetCosDoc();
    const CCosObj base(doc, space.GetValue(1));
    if (base.GetType() == CosName) return IndexedFamilyOfBaseName(base.GetName());
    if (base.GetType() != CosArray) return kFamilyUnknown;
    const CCosArray baseArray(doc, base.GetCosObj());
    const ASAtom kind =
        baseArray.GetLength() > 0 ? NameOf(doc, baseArray.GetValue(0)) : kASAtomNull;
    if (kind == gAtomDeviceN) return kFamilyIndexedDeviceN;
    if (kind == gAtomICCBased) return IndexedIccFamily(baseArray);
    return IndexedFamilyOfBaseName(kind);
}

int32_t NameFamily(ASAtom name) {
    if (name == gAtomDeviceGray) return kFamilyDeviceGray;
    if (name == gAtomDeviceRGB) return kFamilyDeviceRGB;
    if (name == gAtomDeviceCMYK) return kFamilyDeviceCMYK;
    if (name == gAtomDeviceN) return kFamilyDeviceN;
    return kFamilyUnknown;
}

int32_t ArrayFamily(const CCosArray& space) {
    if (space.GetLength() < 1) ThrowErrorCode(kErrColorSpace);
    const CCosObj first(space.GetCosDoc(), space.GetValue(0));
    if (first.GetType() != CosName) ThrowErrorCode(kErrColorSpace);
    const ASAtom kind = first.GetName();
    if (kind == gAtomCalGray) return kFamilyCalGray;
    if (kind == gAtomCalRGB) return kFamilyCalRGB;
    if (kind == gAtomPattern) return kFamilyPattern;
    if (kind == gAtomSeparation) return kFamilySeparation;
    if (kind == gAtomDeviceN) return kFamilyDeviceN;
    if (kind == gAtomLab) return kFamilyLab;
    if (kind == gAtomICCBased) return IccFamily(space);
    if (kind == gAtomIndexed) return IndexedFamily(space);
    return kFamilyUnknown;
}

}  // namespace

int32_t GetColorSpaceFamily(const CCosObj& colorSpace) {
    switch (colorSpace.GetType()) {
        case CosName: return NameFamily(colorSpace.GetName());
        case CosArray:
            return ArrayFamily(CCosArray(colorSpace.GetCosDoc(), colorSpace.GetCosObj()));
        default: ThrowErrorCode(kErrColorSpace);
    }
}

int32_t GetImageColorSpaceFamily(CCosDict& dict) {
    return GetColorSpaceFamily(CCosObj(dict.GetCosDoc(), dict.GetValue(gAtomColorSpace, true)));
}

int32_t ColorSpaceFamilyComponents(int32_t family) {
    switch (family) {
        case kFamilyDeviceGray:
        case kFamilyCalGray:
        case kFamilyICC1:
        case kFamilySeparation:
        case kFamilyIndexedRGB:
        case kFamilyIndexedLab:
        case kFamilyIndexedCMYK:
        case kFamilyIndexedCalRGB:
        case kFamilyIndexedICC3:
        case kFamilyIndexedICC3Lab:
        case kFamilyIndexedICC4:
        case kFamilyIndexedDeviceN: return 1;
        case kFamilyDeviceRGB:
        case kFamilyCalRGB:
        case kFamilyLab:
        case kFamilyICC3:
        case kFamilyICC3Lab: return 3;
        case kFamilyDeviceCMYK:
        case kFamilyICC4: return 4;
        default: return 0;
    }
}

bool IsICCProfileLab(CCosStream& profile) {
    profile.OpenStream(kCosStreamDecoded);
    char header[20] = {};
    int32_t got = 0;
    WithCleanUp(
        [&] {
            // Fewer than 20 bytes: no header colour space to compare.
            for (int32_t n; got < 20 && (n = profile.GetStream().Read(header + got, 1, 20 - got)) > 0;)
                got += n;
        },
        [&] { profile.CloseStream(); });
    return got == 20 && std::memcmp(header + 16, "Lab ", 4) == 0;
}

CosObj MakeFilterDecodeParms(CCosDict& dict, ASAtom filter) {
    if (filter != gAtomDCTDecode) return CosNullObj();
    CCosDict parms(dict.GetCosDoc(), false, 3);
    parms.PutValue(gAtomColumns, dict.GetValue(gAtomWidth, true));
    parms.PutValue(gAtomRows, dict.GetValue(gAtomHeight, true));
    parms.PutInteger(gAtomColors, ColorSpaceFamilyComponents(GetImageColorSpaceFamily(dict)));
    return parms.GetCosObj();
}

CosObj MakeImageDecodeParms(CCosDict& dict) {
    const CosDoc doc = dict.GetCosDoc();
    try {
        const CCosObj filter(doc, dict.GetValue(gAtomFilter, true));
        if (filter.GetType() != CosArray) {
            ASAtom name = NameOf(doc, filter.GetCosObj());
            if (name == gAtomCCITTFaxDecode) {
                // The data is given decoded; the host stores it with LZW instead.
                dict.RemoveKey(gAtomFilter, true);
                dict.PutName(gAtomFilter, gAtomLZWDecode);
            }
            return MakeFilterDecodeParms(dict, name);
        }
        CCosArray filters(doc, filter.GetCosObj());
        const int32_t count = filters.GetLength();
        CCosArray parms(doc, false, count);
        for (int32_t i = 0; i < count; ++i) {
            const ASAtom name = NameOf(doc, filters.GetValue(i));
            if (name == gAtomCCITTFaxDecode) filters.PutName(i, gAtomLZWDecode);
            parms.PutValue(i, MakeFilterDecodeParms(dict, name));
        }
        return parms.GetCosObj();
    } catch (const ErrorCode&) {
        return CosNullObj();
    }
}

int32_t DeviceColorSpaceComponents(ASAtom name) {
    if (name == gAtomDeviceGray) return 1;
    if (name == gAtomDeviceRGB) return 3;
    if (name == gAtomDeviceCMYK) return 4;
    ThrowErrorCode(kErrColorSpace);
}

int32_t GetDeviceNComponents(CCosDict& dict) {
    const CosDoc doc = dict.GetCosDoc();
    const CCosObj space(doc, dict.GetValue(gAtomColorSpace, true));
    if (space.GetType() != CosArray) return 0;
    const CCosArray array(doc, space.GetCosObj());
    if (array.GetLength() < 2) return 0;
    const CCosObj names(doc, array.GetValue(1));
    if (names.GetType() != CosArray) return 0;
    return CCosArray(doc, names.GetCosObj()).GetLength();
}

int32_t ColorSpaceFamilyComponentsForDict(int32_t family, CCosDict& dict) {
    return family == kFamilyDeviceN ? GetDeviceNComponents(dict)
                                    : ColorSpaceFamilyComponents(family);
}

int32_t GetCosStreamColorSpaceFamily(CCosStream& stream) {
    return GetImageColorSpaceFamily(*stream.GetAttributesDict());
}

int32_t GetXObjectColorSpaceFamily(CosDoc doc, CosObj stream) {
    CCosStream wrapper(doc, stream);
    return GetCosStreamColorSpaceFamily(wrapper);
}
