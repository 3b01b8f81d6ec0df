// A blank 612 x 792 document for text element tests, with stamps placed
// left/bottom at 72 points, and readers of what was written.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace enginetest {

class TextOnDocument : public testing::Test {
protected:
    void SetUp() override {
        StartEngine();
        ASSERT_TRUE(mDoc.CreateNew());
    }
    // A stamp on the blank page: Helvetica at size, left/bottom, offsets 72.
    std::unique_ptr<TextStamp> Stamp(const std::string& text, double size = 20) {
        auto stamp = MakeTextStamp(mDoc, text, size);
        stamp->placement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
        stamp->placement.SetOffset(72, 72);
        return stamp;
    }
    std::vector<std::string> Pieces(int page = 0) const { return ContentPieces(mDoc, page); }
    CosObj Page(int index = 0) const { return PageDict(mDoc, index); }
    // Width of text (UTF-8) in the element's font, in points.
    static double Width(const CPDFTextElement& element, const std::string& text, double size) {
        ASFixedRect box{};
        element.MeasureText(element.EncodeText(text), box, size);
        return FixedToDouble(box.right - box.left);
    }
    CPDFDocument mDoc;
};

// The numbers in a content string, in order.
inline std::vector<double> Numbers(const std::string& text) {
    std::vector<double> values;
    static const std::regex kNumber(R"(-?[0-9]+\.[0-9]+|-?[0-9]+)");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kNumber); it != std::sregex_iterator(); ++it)
        values.push_back(std::stod(it->str()));
    return values;
}

}  // namespace enginetest
