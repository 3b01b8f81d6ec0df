// Names compared regardless of letter case: pairs that differ only in case
// fold alike, others stay apart, and bytes that are not UTF-8 are kept.
#include <gtest/gtest.h>

#include <string>

#include "support/CaseFolding.h"

namespace {

TEST(CaseFolding, NamesThatDifferOnlyInLetterCaseFoldAlike) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } rows[] = {
        {"Footer.nxp", "FOOTER.NXP", true},
        {"Ärger", "ärger", true},
        {"ÄRGER", "ärger", true},
        {"ΟΔΟΣ", "οδος", true},   // capital sigma and final sigma
        {"οδοσ", "οδος", true},   // medial and final sigma
        {"ǅ", "Ǆ", true},         // title case and upper case digraph
        {"ǅ", "ǆ", true},
        {"ẞ", "ß", true},         // capital sharp s folds to the small one
        {"ᾈ", "ᾀ", true},         // Greek capital with iota subscript
        {"µ", "μ", true},         // micro sign and Greek mu
        {"中文", "中文 ", false},
        {"ß", "ss", false},       // one code point for one: no expansion
        {"İ", "i", false},        // dotted capital I keeps its dot
        {"ı", "i", false},        // dotless small i is a letter of its own
        {"Ärger", "Arger", false},
        {"a\xff", "A\xfe", false},  // not UTF-8: the bytes keep names apart
        {"a\xff", "A\xff", true},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(CaseFolded(row.a) == CaseFolded(row.b), row.same) << row.a << " / " << row.b;
        EXPECT_EQ(CaseFolded(CaseFolded(row.a)), CaseFolded(row.a)) << row.a << ": folding twice changes nothing";
    }
}

TEST(CaseFolding, KeepsTextWithoutCaseAndBytesThatAreNotUtf8) {
    for (const std::string text : {"中文.nxp", "1-2_3", "", "\xc3", "\xff\xfe", "\xe4\xb8", "\xc3\x28"})
        EXPECT_EQ(CaseFolded(text), text) << text.size() << " bytes";
    EXPECT_EQ(CaseFolded(std::string("A\0B", 3)), std::string("a\0b", 3));
    EXPECT_EQ(CaseFolded("\xc3\x84\xff"), "\xc3\xa4\xff");  // "Ä" then a stray byte
}

}  // namespace
