// The ToUnicode maps of composite fonts: ranges, single entries, characters
// past U+FFFF and the 100-entry blocks.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "pde/ToUnicodeCMap.h"

namespace {

using qmhost::toUnicodeCMap;

size_t count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

TEST(ToUnicodeCMap, FollowingCodesAndCharactersBecomeOneRange) {
    const std::string cmap = toUnicodeCMap({{0x0024, U'A'}, {0x0025, U'B'}, {0x0026, U'C'}});
    EXPECT_NE(cmap.find("1 beginbfrange\n<0024> <0026> <0041>\nendbfrange"), std::string::npos) << cmap;
    EXPECT_EQ(cmap.find("bfchar"), std::string::npos);
    EXPECT_NE(cmap.find("<0000> <FFFF>"), std::string::npos);
}

TEST(ToUnicodeCMap, RangeNeverCrossesTheLastByteOfTheCodeOrTheCharacter) {
    // Codes 00FF -> 0100 cross a byte; characters U+01FF -> U+0200 likewise.
    const std::string cmap =
        toUnicodeCMap({{0x00FF, U'x'}, {0x0100, U'y'}, {0x0201, U'\u01FF'}, {0x0202, U'\u0200'}});
    EXPECT_EQ(cmap.find("bfrange"), std::string::npos) << cmap;
    EXPECT_NE(cmap.find("4 beginbfchar"), std::string::npos) << cmap;
}

TEST(ToUnicodeCMap, CharacterPastTheBasicPlaneIsASurrogatePair) {
    const std::string cmap = toUnicodeCMap({{0x0010, U'\U0001F600'}, {0x0011, U'\U0001F601'}});
    EXPECT_NE(cmap.find("<0010> <D83DDE00>"), std::string::npos) << cmap;
    EXPECT_NE(cmap.find("<0011> <D83DDE01>"), std::string::npos) << cmap;
    EXPECT_EQ(cmap.find("bfrange"), std::string::npos);
}

TEST(ToUnicodeCMap, BlocksHoldAtMostOneHundredEntries) {
    std::map<uint16_t, char32_t> map;
    for (uint16_t code = 0; code < 250; ++code) map[static_cast<uint16_t>(code * 2)] = U'a';  // no two follow
    const std::string cmap = toUnicodeCMap(map);
    EXPECT_EQ(count(cmap, "100 beginbfchar"), 2u);
    EXPECT_EQ(count(cmap, "50 beginbfchar"), 1u);
    EXPECT_EQ(count(cmap, "endbfchar"), 3u);
}

TEST(ToUnicodeCMap, EmptyMapIsStillAWholeCMap) {
    const std::string cmap = toUnicodeCMap({});
    EXPECT_NE(cmap.find("begincmap"), std::string::npos);
    EXPECT_NE(cmap.find("endcmap"), std::string::npos);
    EXPECT_EQ(cmap.find("bfchar"), std::string::npos);
}

}  // namespace
