// The PDF name atoms made at start-up.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "common/PluginFixture.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

TEST(PDFAtoms, TablesHoldTheirNamesInOrder) {
    size_t keys = 0, filters = 0;
    const PDFAtomEntry* key = KeyAtomEntries(&keys);
    const PDFAtomEntry* filter = FilterAtomEntries(&filters);
    EXPECT_EQ(keys, 121u);
    EXPECT_EQ(filters, 16u);
    EXPECT_STREQ(key[0].text, "XObject");
    EXPECT_STREQ(key[120].text, "T");
    EXPECT_STREQ(filter[0].text, "LZWDecode");
    EXPECT_STREQ(filter[15].text, "JPXEncode");
    std::set<const ASAtom*> globals;
    for (size_t i = 0; i < keys; ++i) globals.insert(key[i].global);
    for (size_t i = 0; i < filters; ++i) globals.insert(filter[i].global);
    EXPECT_EQ(globals.size(), 137u);  // one global each, "Pattern" in two
}

TEST(PDFAtoms, EveryGlobalHoldsTheHostAtomOfItsName) {
    qmtest::StartLinkedPlugin();
    size_t keys = 0, filters = 0;
    const PDFAtomEntry* key = KeyAtomEntries(&keys);
    const PDFAtomEntry* filter = FilterAtomEntries(&filters);
    for (size_t i = 0; i < keys; ++i)
        EXPECT_EQ(*key[i].global, gCoreHFT->atomFromString(key[i].text)) << key[i].text;
    for (size_t i = 0; i < filters; ++i)
        EXPECT_EQ(*filter[i].global, gCoreHFT->atomFromString(filter[i].text)) << filter[i].text;
}

TEST(PDFAtoms, NamesThatAreNotIdentifiersHaveTheirGlobals) {
    qmtest::StartLinkedPlugin();
    EXPECT_STREQ(gCoreHFT->atomGetString(gAtom_1_3), "1.3");
    EXPECT_STREQ(gCoreHFT->atomGetString(gAtom_2_0), "2.0");
    EXPECT_EQ(gAtomPattern, gAtomPattern2);
    EXPECT_STREQ(gCoreHFT->atomGetString(gAtomop), "op");
    EXPECT_STREQ(gCoreHFT->atomGetString(gAtomOP), "OP");
    EXPECT_NE(gAtomca, gAtomCA);
}

TEST(PDFAtoms, ResetLeavesNoneAndInitMakesThemAgain) {
    qmtest::StartLinkedPlugin();
    const ASAtom length = gAtomLength;
    ResetPDFAtoms();
    EXPECT_EQ(gAtomLength, kASAtomNull);
    EXPECT_EQ(gAtomFlateDecode, kASAtomNull);
    InitKeyAtoms();
    InitFilterAtoms();
    EXPECT_EQ(gAtomLength, length);
    EXPECT_NE(gAtomFlateDecode, kASAtomNull);
}

}  // namespace
