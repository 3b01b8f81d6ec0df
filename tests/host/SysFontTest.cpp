// The installed fonts: a stable, sorted list of unique names, found by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "FontTestSupport.h"
#include "sysfont/SystemFontList.h"

namespace {

using namespace fonttest;
using qmhost::FoundFace;
using qmhost::nameSystemFonts;
using qmhost::systemFontName;

struct Listed {
    PDSysFont font;
    std::string name;
};

std::vector<Listed> listAll() {
    std::vector<Listed> fonts;
    const bool complete = sysFonts().enumFonts(
        [](PDSysFont font, void* client) {
            static_cast<std::vector<Listed>*>(client)->push_back({font, atomText(sysFonts().getName(font))});
            return true;
        },
        &fonts);
    EXPECT_TRUE(complete);
    return fonts;
}

std::vector<std::string> namesOf(const std::vector<Listed>& fonts) {
    std::vector<std::string> names;
    for (const auto& f : fonts) names.push_back(f.name);
    return names;
}

TEST(SysFontList, SameOrderOnEveryCall) {
    const auto first = namesOf(listAll());
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(namesOf(listAll()), first);
}

TEST(SysFontList, NamesAreUniqueAndSorted) {
    const auto names = namesOf(listAll());
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
}

TEST(SysFontList, FindFontFindsEveryListedName) {
    for (const auto& listed : listAll()) EXPECT_EQ(findSysFont(listed.name), listed.font) << listed.name;
}

TEST(SysFontList, InstalledFamiliesAreNamedFamilyAndStyle) {
    const auto names = namesOf(listAll());
    for (const char* expected : {"DejaVu Sans", "DejaVu Sans Bold", "DejaVu Sans Mono", "WenQuanYi Micro Hei",
                                 "WenQuanYi Micro Hei Mono", "Nimbus Sans", "Nimbus Sans Bold Italic"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
}

TEST(SysFontList, UnknownNameIsNullNotAnError) {
    EXPECT_EQ(findSysFont("No Such Font Anywhere"), nullptr);
    EXPECT_EQ(findSysFont("dejavu sans"), nullptr);  // exact, so case matters
    EXPECT_EQ(findSysFont("DejaVu"), nullptr);
    PDSysFontAttrs attrs{};
    attrs.name = kASAtomNull;
    EXPECT_EQ(sysFonts().findFont(&attrs, sizeof attrs, kPDSysFontMatchNameExactly), nullptr);
    EXPECT_EQ(hostErrorOf([] { sysFonts().findFont(nullptr, 0, kPDSysFontMatchNameExactly); }), kHostErrBadParameter);
}

// The file of a PostScript name is the one fontconfig's own tool lists first
// when Type 1 files come before the others and each kind goes by path.
TEST(SysFontList, PostscriptNameFindsTheInstalledFileType1First) {
    for (const char* name : {"NimbusSans-Regular", "StandardSymbolsPS", "DejaVuSans", "NoSuchFont-Quillmark"}) {
        SCOPED_TRACE(name);
        const auto listed = qmtest::runCommand(std::string("fc-list ':postscriptname=") + name + "' file fontformat");
        ASSERT_EQ(listed.status, 0);
        std::set<std::string> type1, others;  // in path order
        std::istringstream lines(listed.output);
        for (std::string line; std::getline(lines, line);) {
            const size_t colon = line.find(": ");
            if (colon == std::string::npos) continue;
            (line.find("fontformat=Type 1") != std::string::npos ? type1 : others).insert(line.substr(0, colon));
        }
        const std::string expected = !type1.empty() ? *type1.begin() : others.empty() ? "" : *others.begin();
        EXPECT_EQ(qmhost::fontFileForPostscriptName(name), expected) << listed.output;
    }
}

TEST(SysFontList, EnumerationStopsWhenTheProcedureSaysSo) {
    int calls = 0;
    const bool complete = sysFonts().enumFonts(
        [](PDSysFont, void* client) { return ++*static_cast<int*>(client) < 2; }, &calls);
    EXPECT_FALSE(complete);
    EXPECT_EQ(calls, 2);
}

TEST(SysFontList, UnknownHandlesAreRefused) {
    EXPECT_EQ(hostErrorOf([] { sysFonts().getName(nullptr); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([] { sysFonts().getName(reinterpret_cast<PDSysFont>(uintptr_t(1) << 30)); }),
              kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([] { sysFonts().enumFonts(nullptr, nullptr); }), kHostErrBadParameter);
}

// --- naming

struct StyleRow {
    const char* name;
    const char* family;
    const char* style;
    const char* expected;
};

class SysFontNaming : public ::testing::TestWithParam<StyleRow> {};

TEST_P(SysFontNaming, JoinsFamilyAndStyle) {
    EXPECT_EQ(systemFontName(GetParam().family, GetParam().style), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, SysFontNaming,
                         ::testing::Values(StyleRow{"RegularIsLeftOut", "DejaVu Sans", "Regular", "DejaVu Sans"},
                                           StyleRow{"BookIsLeftOut", "DejaVu Sans", "Book", "DejaVu Sans"},
                                           StyleRow{"RomanIsLeftOut", "C059", "Roman", "C059"},
                                           StyleRow{"NoStyle", "Foo", "", "Foo"},
                                           StyleRow{"CaseDoesNotMatter", "Foo", "REGULAR", "Foo"},
                                           StyleRow{"BoldIsKept", "DejaVu Sans", "Bold", "DejaVu Sans Bold"},
                                           StyleRow{"MediumIsKept", "Foo", "Medium", "Foo Medium"}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(SysFontNamingDuplicates, RepeatedNamesGetNumbersInFileOrder) {
    const std::vector<FoundFace> faces = {
        {"Foo", "Bold", "/z/foo-bold.ttf", 0},
        {"Foo", "Bold", "/a/foo-bold.ttf", 0},
        {"Foo", "Regular", "/b/foo.ttf", 0},
        {"Foo", "Bold", "/a/foo-bold.ttc", 1},
    };
    const auto fonts = nameSystemFonts(faces);
    ASSERT_EQ(fonts.size(), 4u);
    EXPECT_EQ(fonts[0].name, "Foo");
    EXPECT_EQ(fonts[1].name, "Foo Bold");
    EXPECT_EQ(fonts[1].file, "/a/foo-bold.ttc");
    EXPECT_EQ(fonts[2].name, "Foo Bold (2)");
    EXPECT_EQ(fonts[2].file, "/a/foo-bold.ttf");
    EXPECT_EQ(fonts[3].name, "Foo Bold (3)");
    EXPECT_EQ(fonts[3].file, "/z/foo-bold.ttf");
    // The same faces in another order give the same names.
    std::vector<FoundFace> reversed(faces.rbegin(), faces.rend());
    const auto again = nameSystemFonts(reversed);
    for (size_t i = 0; i < fonts.size(); ++i) {
        EXPECT_EQ(again[i].name, fonts[i].name);
        EXPECT_EQ(again[i].file, fonts[i].file);
    }
}

TEST(SysFontNamingDuplicates, NumberedNameNeverShadowsARealOne) {
    const auto fonts = nameSystemFonts({
        {"Foo", "", "/a.ttf", 0},
        {"Foo", "", "/b.ttf", 0},
        {"Foo (2)", "", "/c.ttf", 0},
    });
    std::set<std::string> names;
    for (const auto& f : fonts) names.insert(f.name);
    EXPECT_EQ(names, (std::set<std::string>{"Foo", "Foo (2)", "Foo (3)"}));
    for (const auto& f : fonts) {
        if (f.name == "Foo (2)") {
            EXPECT_EQ(f.file, "/c.ttf");
        }
    }
}

}  // namespace
