// The installed fonts: a stable, sorted list of unique names, found by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
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

// Listed in the same order on every call, sorted, unique, each found by its
// name, the installed families among them as family and style.
TEST(SysFontList, ListIsStableSortedUniqueAndFindsEveryName) {
    const auto listed = listAll();
    const auto names = namesOf(listed);
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(namesOf(listAll()), names);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    for (const auto& font : listed) EXPECT_EQ(findSysFont(font.name), font.font) << font.name;
    for (const char* expected : {"DejaVu Sans", "DejaVu Sans Bold", "DejaVu Sans Mono", "WenQuanYi Micro Hei",
                                 "WenQuanYi Micro Hei Mono", "Nimbus Sans", "Nimbus Sans Bold Italic"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
}

// An unknown name is no font, not an error; bad arguments and handles are refused.
TEST(SysFontList, UnknownNamesAreNullBadArgumentsRefused) {
    for (const char* name : {"No Such Font Anywhere", "dejavu sans" /* exact, so case matters */, "DejaVu"})
        EXPECT_EQ(findSysFont(name), nullptr) << name;
    PDSysFontAttrs attrs{};
    attrs.name = kASAtomNull;
    EXPECT_EQ(sysFonts().findFont(&attrs, sizeof attrs, kPDSysFontMatchNameExactly), nullptr);
    const struct {
        const char* label;
        std::function<void()> call;
        int32_t error;
    } rows[] = {
        {"no attributes", [] { sysFonts().findFont(nullptr, 0, kPDSysFontMatchNameExactly); }, kHostErrBadParameter},
        {"name of no font", [] { sysFonts().getName(nullptr); }, kHostErrBadParameter},
        {"name of an unknown font",
         [] { sysFonts().getName(reinterpret_cast<PDSysFont>(uintptr_t(1) << 30)); }, kHostErrBadHandle},
        {"enumeration without a procedure", [] { sysFonts().enumFonts(nullptr, nullptr); }, kHostErrBadParameter},
    };
    for (const auto& row : rows) EXPECT_EQ(hostErrorOf(row.call), row.error) << row.label;
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

// --- naming

TEST(SysFontNaming, JoinsFamilyAndStyleLeavingOutTheRegularOnes) {
    const struct {
        const char* family;
        const char* style;
        const char* expected;
    } rows[] = {
        {"DejaVu Sans", "Regular", "DejaVu Sans"}, {"DejaVu Sans", "Book", "DejaVu Sans"}, {"C059", "Roman", "C059"},
        {"Foo", "", "Foo"},  {"Foo", "REGULAR", "Foo"},  // case does not matter
        {"DejaVu Sans", "Bold", "DejaVu Sans Bold"},       {"Foo", "Medium", "Foo Medium"},
    };
    for (const auto& row : rows) EXPECT_EQ(systemFontName(row.family, row.style), row.expected) << row.style;
}

// (name, file) of each named font, in the list's order.
std::vector<std::pair<std::string, std::string>> namesAndFiles(const std::vector<FoundFace>& faces) {
    std::vector<std::pair<std::string, std::string>> named;
    for (const auto& font : nameSystemFonts(faces)) named.emplace_back(font.name, font.file);
    return named;
}

TEST(SysFontNamingDuplicates, RepeatedNamesGetNumbersInFileOrder) {
    const std::vector<FoundFace> faces = {
        {"Foo", "Bold", "/z/foo-bold.ttf", 0},
        {"Foo", "Bold", "/a/foo-bold.ttf", 0},
        {"Foo", "Regular", "/b/foo.ttf", 0},
        {"Foo", "Bold", "/a/foo-bold.ttc", 1},
    };
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Foo", "/b/foo.ttf"},
        {"Foo Bold", "/a/foo-bold.ttc"},
        {"Foo Bold (2)", "/a/foo-bold.ttf"},
        {"Foo Bold (3)", "/z/foo-bold.ttf"},
    };
    EXPECT_EQ(namesAndFiles(faces), expected);
    // The same faces in another order give the same names.
    EXPECT_EQ(namesAndFiles(std::vector<FoundFace>(faces.rbegin(), faces.rend())), expected);
}

TEST(SysFontNamingDuplicates, NumberedNameNeverShadowsARealOne) {
    const auto named = namesAndFiles({{"Foo", "", "/a.ttf", 0}, {"Foo", "", "/b.ttf", 0}, {"Foo (2)", "", "/c.ttf", 0}});
    const std::map<std::string, std::string> files(named.begin(), named.end());
    EXPECT_EQ(files.size(), 3u);
    EXPECT_EQ(files.count("Foo"), 1u);
    EXPECT_EQ(files.count("Foo (3)"), 1u);
    EXPECT_EQ(files.at("Foo (2)"), "/c.ttf");
}

}  // namespace
