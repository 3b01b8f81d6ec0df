// The user guide's examples, run through the plug-in's own readers: every
// variable in the guide's table and in the README's list is replaced when a
// stamp text is expanded, every variable of the plug-in is in both, and every
// page list the guide shows is read. So neither can show an example that does
// not work, nor leave a variable out.
#include <gtest/gtest.h>

#include <cctype>
#include <regex>
#include <string>
#include <vector>

#include "StampVariablesFixture.h"
#include "common/PdfFixtures.h"
#include "stamper/CPageRangeSet.h"
#include "stamper/TextVariables.h"

namespace {

const std::string kGuide = QM_TEST_SOURCE_DIR "/plugin/resources/guide/user-guide.md";
const std::string kReadme = QM_TEST_SOURCE_DIR "/README.md";

// The texts between backticks in the text, in order.
std::vector<std::string> CodeSpans(const std::string& text) {
    static const std::regex kSpan("`([^`]*)`");
    std::vector<std::string> spans;
    for (std::sregex_iterator it(text.begin(), text.end(), kSpan), end; it != end; ++it) spans.push_back((*it)[1]);
    return spans;
}

// The paragraph (lines up to a blank one) that holds the phrase; empty when none does.
std::string ParagraphWith(const std::string& text, const std::string& phrase) {
    const size_t at = text.find(phrase);
    if (at == std::string::npos) return {};
    const size_t start = text.rfind("\n\n", at);
    const size_t begin = start == std::string::npos ? 0 : start + 2;
    return text.substr(begin, text.find("\n\n", at) - begin);
}

// Names a variable: "$" and a letter.
bool IsVariableExample(const std::string& span) {
    return span.size() > 1 && span[0] == '$' && std::isalpha(static_cast<unsigned char>(span[1]));
}

// Looks like a page list: digits, "-", "," and blanks, with "odd" or "even"
// among them, and at least one digit.
bool IsPageListExample(const std::string& span) {
    static const std::regex kPageList("(?=.*[0-9])([0-9, -]|odd|even)+");
    return std::regex_match(span, kPageList);
}

using UserGuideDrift = qmtest::StampVariablesTest;

TEST_F(UserGuideDrift, EveryVariableShownIsReplacedAndEveryVariableIsShown) {
    struct Source {
        const char* name;
        std::string text;  // where the examples are
    };
    const Source sources[] = {
        {"the guide's table", ParagraphWith(qmtest::readBytes(kGuide), "| variable | value |")},
        {"the README's variables", ParagraphWith(qmtest::readBytes(kReadme), "A stamp text may hold the variables")},
    };
    for (const Source& source : sources) {
        ASSERT_FALSE(source.text.empty()) << source.name << " not found";
        std::vector<std::string> examples;
        for (const std::string& span : CodeSpans(source.text))
            if (IsVariableExample(span)) examples.push_back(span);
        for (const std::string& example : examples) {
            const std::string expanded = ExpandStampVariables(example);
            EXPECT_EQ(expanded.find('$'), std::string::npos)
                << source.name << ": " << example << " is printed as \"" << expanded << "\"";
        }
        for (int i = 0; i < kStampVariableCount; ++i) {
            const std::string name = GetStampVariableName(i);
            bool shown = false;
            for (const std::string& example : examples) shown = shown || example.rfind(name, 0) == 0;
            EXPECT_TRUE(shown) << source.name << " does not show " << name;
        }
    }
}

TEST(UserGuidePageLists, EveryPageListShownIsRead) {
    std::vector<std::string> lists;
    for (const std::string& span : CodeSpans(qmtest::readBytes(kGuide)))
        if (IsPageListExample(span)) lists.push_back(span);
    ASSERT_FALSE(lists.empty()) << "the guide shows no page list";
    for (const std::string& list : lists) {
        CPageRangeSet set(100);
        EXPECT_TRUE(set.SetCustomRanges(list)) << "`" << list << "`: " << set.GetMessage();
    }
}

}  // namespace
