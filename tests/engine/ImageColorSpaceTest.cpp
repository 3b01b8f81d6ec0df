// Decode parameters of image dictionaries and colour-space families with
// their component counts, on Cos objects built in a blank document.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ImageTypeTestSupport.h"
#include "engine/ImageColorSpaces.h"
#include "support/cos/CASStream.h"
#include "support/cos/CCosArray.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/ErrorCode.h"
#include "support/cos/PDFAtoms.h"

using namespace imagetest;

namespace {

class ImageColorSpaceTest : public testing::Test {
public:
    void SetUp() override {
        enginetest::StartEngine();
        mCos = mDoc.doc.GetCosDoc();
    }
    ASAtom A(const char* name) { return qmtest::nameAtom(name); }
    CosObj Name(const char* name) { return CCosObj(mCos, A(name)).GetCosObj(); }
    // A direct array of the given values.
    CosObj Array(std::initializer_list<CosObj> values) {
        CCosArray array(mCos, false, int32_t(values.size()));
        int32_t i = 0;
        for (CosObj value : values) array.PutValue(i++, value);
        return array.GetCosObj();
    }
    // An ICC profile stream of `size` bytes with "N" (when n > 0), an
    // "Alternate" (when given) and the header colour space `space`.
    CosObj Profile(int n, const char* alternate, const char* space = "RGB ", int size = 128) {
        std::string bytes(size_t(size), '\0');
        if (size >= 20) bytes.replace(16, 4, space);
        CASStream data(bytes.data(), int64_t(bytes.size()));
        CCosDict dict(mCos, false, 2);
        if (n > 0) dict.PutInteger(A("N"), n);
        if (alternate) dict.PutName(A("Alternate"), A(alternate));
        CCosStream stream(mCos, data.Get(), 0, 0, dict.GetCosObj(), CosNullObj(),
                          int64_t(bytes.size()));
        return stream.GetCosObj();
    }
    CosObj Icc(int n, const char* alternate = nullptr, const char* space = "RGB ") {
        return Array({Name("ICCBased"), Profile(n, alternate, space)});
    }
    CosObj Lookup() { return CCosObj(mCos, int32_t(0)).GetCosObj(); }
    CosObj Indexed(CosObj base) {
        return Array({Name("Indexed"), base, CCosObj(mCos, int32_t(255)).GetCosObj(), Lookup()});
    }
    // An image dictionary with Width, Height, ColorSpace and Filter.
    CCosDict Image(CosObj filter, CosObj space) {
        CCosDict dict(mCos, false, 6);
        dict.PutInteger(A("Width"), 640);
        dict.PutInteger(A("Height"), 480);
        dict.PutValue(A("ColorSpace"), space);
        if (gCosHFT->objGetType(filter) != CosNull) dict.PutValue(A("Filter"), filter);
        return dict;
    }
    BlankDocument mDoc;
    CosDoc mCos = nullptr;
};

TEST_F(ImageColorSpaceTest, DctFilterGetsColumnsRowsAndColors) {
    CCosDict dict = Image(Name("DCTDecode"), Name("DeviceRGB"));
    const CosObj parms = MakeImageDecodeParms(dict);
    ASSERT_EQ(gCosHFT->objGetType(parms), CosDict);
    EXPECT_EQ(IntAt(parms, "Columns"), 640);
    EXPECT_EQ(IntAt(parms, "Rows"), 480);
    EXPECT_EQ(IntAt(parms, "Colors"), 3);
}

TEST_F(ImageColorSpaceTest, DctColorsFollowTheColorSpaceFamily) {
    CCosDict cmyk = Image(Name("DCTDecode"), Name("DeviceCMYK"));
    EXPECT_EQ(IntAt(MakeImageDecodeParms(cmyk), "Colors"), 4);
    CCosDict indexed = Image(Name("DCTDecode"), Indexed(Name("DeviceRGB")));
    EXPECT_EQ(IntAt(MakeImageDecodeParms(indexed), "Colors"), 1);
}

TEST_F(ImageColorSpaceTest, CcittFilterIsRewrittenToLzwWithNullParameters) {
    CCosDict dict = Image(Name("CCITTFaxDecode"), Name("DeviceGray"));
    EXPECT_EQ(gCosHFT->objGetType(MakeImageDecodeParms(dict)), CosNull);
    EXPECT_EQ(NameAt(dict.GetCosObj(), "Filter"), "LZWDecode");
}

TEST_F(ImageColorSpaceTest, FilterArrayGetsOneEntryPerFilter) {
    CCosDict dict = Image(Array({Name("FlateDecode"), Name("DCTDecode")}), Name("DeviceRGB"));
    const CosObj parms = MakeImageDecodeParms(dict);
    ASSERT_EQ(gCosHFT->objGetType(parms), CosArray);
    ASSERT_EQ(gCosHFT->arrayLength(parms), 2);
    EXPECT_EQ(gCosHFT->objGetType(gCosHFT->arrayGet(parms, 0)), CosNull);
    EXPECT_EQ(IntAt(gCosHFT->arrayGet(parms, 1), "Colors"), 3);
}

TEST_F(ImageColorSpaceTest, CcittInsideAFilterArrayIsRewrittenInPlace) {
    CCosDict dict = Image(Array({Name("FlateDecode"), Name("CCITTFaxDecode")}), Name("DeviceGray"));
    const CosObj parms = MakeImageDecodeParms(dict);
    ASSERT_EQ(gCosHFT->arrayLength(parms), 2);
    const CosObj filters = DictValue(dict.GetCosObj(), "Filter");
    EXPECT_EQ(AtomText(gCosHFT->nameValue(gCosHFT->arrayGet(filters, 1))), "LZWDecode");
    EXPECT_EQ(gCosHFT->objGetType(gCosHFT->arrayGet(parms, 1)), CosNull);
}

TEST_F(ImageColorSpaceTest, MissingFilterOrColorSpaceGivesNullParameters) {
    CCosDict noFilter = Image(CosNullObj(), Name("DeviceRGB"));
    EXPECT_EQ(gCosHFT->objGetType(MakeImageDecodeParms(noFilter)), CosNull);
    CCosDict noSpace(mCos, false, 2);
    noSpace.PutName(A("Filter"), A("DCTDecode"));
    noSpace.PutInteger(A("Width"), 1);
    EXPECT_EQ(gCosHFT->objGetType(MakeImageDecodeParms(noSpace)), CosNull);
    EXPECT_THROW(MakeFilterDecodeParms(noSpace, gAtomDCTDecode), ErrorCode);
}

TEST_F(ImageColorSpaceTest, FlateParametersAreNull) {
    CCosDict dict = Image(Name("FlateDecode"), Name("DeviceRGB"));
    EXPECT_EQ(gCosHFT->objGetType(MakeImageDecodeParms(dict)), CosNull);
}

struct FamilyRow {
    const char* name;
    std::function<CosObj(ImageColorSpaceTest&)> make;
    int32_t family;
    int32_t components;
};

class FamilyTable : public ImageColorSpaceTest, public testing::WithParamInterface<FamilyRow> {};

TEST_P(FamilyTable, GivesTheFamilyAndItsComponents) {
    const CosObj space = GetParam().make(*this);
    const int32_t family = GetColorSpaceFamily(CCosObj(mCos, space));
    EXPECT_EQ(family, GetParam().family);
    EXPECT_EQ(ColorSpaceFamilyComponents(family), GetParam().components);
    CCosDict dict = Image(CosNullObj(), space);
    EXPECT_EQ(GetImageColorSpaceFamily(dict), GetParam().family);
}

using T = ImageColorSpaceTest;
#define ROW(label, expr, family, comps)                  \
    FamilyRow {                                          \
        label, [](T& fx) { return expr; }, family, comps \
    }

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Spaces, FamilyTable,
    testing::Values(
        ROW("DeviceGray", fx.Name("DeviceGray"), 0, 1),
        ROW("DeviceRGB", fx.Name("DeviceRGB"), 1, 3),
        ROW("DeviceCMYK", fx.Name("DeviceCMYK"), 2, 4),
        ROW("DeviceNName", fx.Name("DeviceN"), 17, 0),
        ROW("BareSeparationIsUnknown", fx.Name("Separation"), 22, 0),
        ROW("OtherName", fx.Name("Foo"), 22, 0),
        ROW("CalGray", fx.Array({fx.Name("CalGray"), fx.Lookup()}), 6, 1),
        ROW("CalRGB", fx.Array({fx.Name("CalRGB"), fx.Lookup()}), 7, 3),
        ROW("Lab", fx.Array({fx.Name("Lab"), fx.Lookup()}), 9, 3),
        ROW("Pattern", fx.Array({fx.Name("Pattern")}), 20, 0),
        ROW("Separation", fx.Array({fx.Name("Separation"), fx.Name("Spot")}), 19, 1),
        ROW("DeviceNArray", fx.Array({fx.Name("DeviceN"), fx.Array({fx.Name("A"), fx.Name("B")})}), 17, 0),
        ROW("OtherArray", fx.Array({fx.Name("Foo")}), 22, 0),
        ROW("IccGray", fx.Icc(1), 10, 1),
        ROW("IccRgb", fx.Icc(3), 11, 3),
        ROW("IccLab", fx.Icc(3, nullptr, "Lab "), 12, 3),
        ROW("IccCmyk", fx.Icc(4), 13, 4),
        ROW("IccTwoChannels", fx.Icc(2), 22, 0),
        ROW("IccAlternateGray", fx.Icc(1, "DeviceGray"), 0, 1),
        ROW("IccAlternateRgb", fx.Icc(3, "DeviceRGB"), 1, 3),
        ROW("IccAlternateCmyk", fx.Icc(4, "DeviceCMYK"), 2, 4),
        ROW("IccAlternateLab", fx.Icc(3, "Lab"), 22, 0),
        ROW("IndexedRgb", fx.Indexed(fx.Name("DeviceRGB")), 3, 1),
        ROW("IndexedLab", fx.Indexed(fx.Name("Lab")), 4, 1),
        ROW("IndexedCmyk", fx.Indexed(fx.Name("DeviceCMYK")), 5, 1),
        ROW("IndexedCalRgb", fx.Indexed(fx.Name("CalRGB")), 8, 1),
        ROW("IndexedGrayIsUnknown", fx.Indexed(fx.Name("DeviceGray")), 22, 0),
        ROW("IndexedCalRgbArray", fx.Indexed(fx.Array({fx.Name("CalRGB"), fx.Lookup()})), 8, 1),
        ROW("IndexedLabArray", fx.Indexed(fx.Array({fx.Name("Lab"), fx.Lookup()})), 4, 1),
        ROW("IndexedDeviceN", fx.Indexed(fx.Array({fx.Name("DeviceN"), fx.Array({fx.Name("A")})})), 18, 1),
        ROW("IndexedIccRgb", fx.Indexed(fx.Icc(3)), 14, 1),
        ROW("IndexedIccLab", fx.Indexed(fx.Icc(3, nullptr, "Lab ")), 15, 1),
        ROW("IndexedIccCmyk", fx.Indexed(fx.Icc(4)), 16, 1),
        ROW("IndexedIccGrayIsUnknown", fx.Indexed(fx.Icc(1)), 22, 0),
        ROW("IndexedIccAlternateRgb", fx.Indexed(fx.Icc(3, "DeviceRGB")), 3, 1),
        ROW("IndexedIccAlternateCmyk", fx.Indexed(fx.Icc(4, "DeviceCMYK")), 5, 1),
        ROW("IndexedIccAlternateGray", fx.Indexed(fx.Icc(1, "DeviceGray")), 22, 0)),
    [](const testing::TestParamInfo<FamilyRow>& row) { return std::string(row.param.name); });
// clang-format on

TEST_F(ImageColorSpaceTest, NeitherNameNorArrayIsError8006) {
    try {
        GetColorSpaceFamily(CCosObj(mCos, int32_t(5)));
        FAIL();
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrColorSpace);
    }
    EXPECT_THROW(GetColorSpaceFamily(CCosObj(mCos, Array({Lookup(), Name("DeviceRGB")}))),
                 ErrorCode);
    EXPECT_THROW(GetColorSpaceFamily(CCosObj(mCos, Array({}))), ErrorCode);
}

TEST_F(ImageColorSpaceTest, MissingColorSpaceOrProfileComponentsIsNotFound) {
    CCosDict dict(mCos, false, 1);
    try {
        GetImageColorSpaceFamily(dict);
        FAIL();
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNotFound);
    }
    const CosObj noN = Array({Name("ICCBased"), Profile(0, nullptr)});
    EXPECT_THROW(GetColorSpaceFamily(CCosObj(mCos, noN)), ErrorCode);
}

// A profile too short to hold a header compared bytes that were never read.
TEST_F(ImageColorSpaceTest, ShortProfileIsNotLab) {
    CCosStream shortProfile(mCos, Profile(3, nullptr, "Lab ", 18));
    EXPECT_FALSE(IsICCProfileLab(shortProfile));
    CCosStream labProfile(mCos, Profile(3, nullptr, "Lab ", 20));
    EXPECT_TRUE(IsICCProfileLab(labProfile));
    CCosStream rgbProfile(mCos, Profile(3, nullptr, "RGB ", 200));
    EXPECT_FALSE(IsICCProfileLab(rgbProfile));
}

TEST_F(ImageColorSpaceTest, DeviceComponentsAndDeviceNColourants) {
    EXPECT_EQ(DeviceColorSpaceComponents(gAtomDeviceGray), 1);
    EXPECT_EQ(DeviceColorSpaceComponents(gAtomDeviceRGB), 3);
    EXPECT_EQ(DeviceColorSpaceComponents(gAtomDeviceCMYK), 4);
    EXPECT_THROW(DeviceColorSpaceComponents(gAtomLab), ErrorCode);

    CCosDict deviceN = Image(
        CosNullObj(),
        Array({Name("DeviceN"), Array({Name("A"), Name("B"), Name("C")}), Name("DeviceCMYK")}));
    EXPECT_EQ(GetDeviceNComponents(deviceN), 3);
    EXPECT_EQ(ColorSpaceFamilyComponentsForDict(kFamilyDeviceN, deviceN), 3);
    CCosDict rgb = Image(CosNullObj(), Name("DeviceRGB"));
    EXPECT_EQ(GetDeviceNComponents(rgb), 0);
    EXPECT_EQ(ColorSpaceFamilyComponentsForDict(kFamilyDeviceRGB, rgb), 3);
}

TEST_F(ImageColorSpaceTest, StreamFamilyComesFromItsDictionary) {
    CCosDict dict = Image(CosNullObj(), Name("DeviceCMYK"));
    CASStream data("abcd", 4);
    CCosStream stream(mCos, data.Get(), 0, 0, dict.GetCosObj(), CosNullObj(), 4);
    EXPECT_EQ(GetCosStreamColorSpaceFamily(stream), kFamilyDeviceCMYK);
    EXPECT_EQ(GetXObjectColorSpaceFamily(mCos, stream.GetCosObj()), kFamilyDeviceCMYK);
}

TEST_F(ImageColorSpaceTest, ComponentsOfFamiliesOutsideTheTable) {
    EXPECT_EQ(ColorSpaceFamilyComponents(21), 0);
    EXPECT_EQ(ColorSpaceFamilyComponents(-1), 0);
    EXPECT_EQ(ColorSpaceFamilyComponents(99), 0);
}

}  // namespace
