// Numbers in content pieces are written with the fewest digits that keep
// their value: a page drawn from the pieces as written looks exactly like the
// same pieces with every number written out with six decimals, as pdftoppm
// renders them.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

// content with every number operand written as "%.6f"; strings, names and
// operators are copied as they are.
std::string WithSixDecimals(const std::string& content) {
    std::string out;
    size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c == '(') {  // a literal string, up to its unescaped closing parenthesis
            const size_t start = i++;
            int depth = 1;
            for (; i < content.size() && depth > 0; ++i) {
                if (content[i] == '\\') ++i;
                else if (content[i] == '(') ++depth;
                else if (content[i] == ')') --depth;
            }
            out.append(content, start, i - start);
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c)) || c == '[' || c == ']') {
            out += c;
            ++i;
            continue;
        }
        size_t end = i;
        while (end < content.size() && !std::isspace(static_cast<unsigned char>(content[end])) &&
               content[end] != '[' && content[end] != ']' && content[end] != '(')
            ++end;
        const std::string token = content.substr(i, end - i);
        if (token.find_first_not_of("-.0123456789") == std::string::npos) {
            char number[64];
            std::snprintf(number, sizeof number, "%.6f", std::stod(token));
            out += number;
        } else {
            out += token;
        }
        i = end;
    }
    return out;
}

TEST(ContentNumbers, RewritingThemWithSixDecimalsFindsEveryNumber) {
    EXPECT_EQ(WithSixDecimals(" q 0.5 g /NxGS0 gs [3 1]0 d BT 11 0 0 11 517.92 -3 Tm (a 1 \\) 2) Tj ET Q "),
              " q 0.500000 g /NxGS0 gs [3.000000 1.000000]0.000000 d BT 11.000000 0.000000 0.000000 11.000000 "
              "517.920000 -3.000000 Tm (a 1 \\) 2) Tj ET Q ");
}

TEST(ContentNumbers, ShortNumbersDrawWhatSixDecimalsDraw) {
    enginetest::StartEngine();
    CPDFDocument doc;
    ASSERT_TRUE(doc.CreateNew());
    ASSERT_TRUE(doc.AppendBlankPage());

    // Fractional sizes, offsets, colours and a rotation: numbers of every kind.
    auto framed = enginetest::MakeTextStamp(doc, "Framed 17", 13.7);
    framed->placement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
    framed->placement.SetOffset(71.3, 93.17);
    framed->element.SetFontColor(51, 102, 153);
    framed->element.SetLineWidth(1.25);
    framed->element.SetLineColor(200, 30, 10);
    framed->element.SetFillColor(250, 240, 130);
    framed->element.SetUnderline(6);
    ASSERT_TRUE(framed->element.Write(0));
    auto turned = enginetest::MakeTextStamp(doc, "turn one turn two turn three turn four turn five", 17.3);
    turned->placement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
    turned->placement.SetOffset(150.7, 300.33);
    turned->placement.SetRotation(33.3);
    turned->element.SetWordWrap(true);
    turned->element.SetLineSpacing(1.3);
    ASSERT_TRUE(turned->element.Write(0));

    // Page 2: the same resources and the same pieces, numbers in six decimals.
    const CosObj first = enginetest::PageDict(doc, 0);
    const CosObj second = enginetest::PageDict(doc, 1);
    const CosDoc cosDoc = gCosHFT->objGetDoc(first);
    const auto pieces = enginetest::ContentPieces(doc, 0);
    ASSERT_GE(pieces.size(), 4u);
    const CosObj contents = gCosHFT->newArray(cosDoc, false, static_cast<int32_t>(pieces.size()));
    bool changed = false;
    for (size_t i = 0; i < pieces.size(); ++i) {
        const std::string longForm = WithSixDecimals(pieces[i]);
        changed = changed || longForm != pieces[i];
        gCosHFT->arrayPut(contents, static_cast<int32_t>(i), CPDFElement::MakeContentStream(cosDoc, longForm));
    }
    ASSERT_TRUE(changed);
    gCosHFT->dictPut(second, gAtomContents, contents);
    gCosHFT->dictPut(second, gAtomResources, gCosHFT->dictGet(first, gAtomResources));

    qmtest::FixtureFolder folder;
    const std::string path = folder.file("numbers.pdf");
    enginetest::SaveDocument(doc, path);
    ASSERT_EQ(qmtest::qpdfCheck(path).status, 0);
    const auto shortPage = enginetest::RenderPage(path, 1, 300);
    const auto longPage = enginetest::RenderPage(path, 2, 300);
    ASSERT_EQ(shortPage.rgb.size(), longPage.rgb.size());
    size_t inked = 0, different = 0;
    for (size_t i = 0; i < shortPage.rgb.size(); ++i) {
        if (shortPage.rgb[i] != 255) ++inked;
        if (shortPage.rgb[i] != longPage.rgb[i]) ++different;
    }
    EXPECT_GT(inked, 10000u) << "the stamps are drawn";
    EXPECT_EQ(different, 0u);
}

}  // namespace
