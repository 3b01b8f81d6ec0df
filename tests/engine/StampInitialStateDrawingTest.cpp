// A page whose content leaves state open (a save without its restore, a clip,
// a text object, marked content of an optional content group that is off,
// restores below its start) gets its stamps drawn in the page's initial state:
// a footer stands where it stands on a plain page (pdftotext -bbox) and is
// drawn (pdftoppm pixels), and the page's own text stays where it was.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "EngineFixture.h"
#include "common/QpdfFixtures.h"

namespace {

constexpr double kPageHeight = 792;
constexpr int kDpi = 72;

struct OpenStateRow {
    const char* name;
    std::vector<std::string> streams;  // the page's "Contents": one stream, or an array of them
    double ownScale;                   // the scale of the page's own text; 0: none is seen
    bool optionalContentOff = false;   // /oc1 names an optional content group that is off
};

// The page of row, written with qpdf (streams compressed): Helvetica as /F1,
// /oc1 an optional content group, off when the row says so.
void WriteInput(const OpenStateRow& row, const std::string& path) {
    QPDF q;
    q.emptyPDF();
    QPDFObjectHandle ocg = q.makeIndirectObject(QPDFObjectHandle::parse("<< /Type /OCG /Name (Layer) >>"));
    QPDFObjectHandle properties = QPDFObjectHandle::parse("<< /OCGs [] /D << /OFF [] >> >>");
    properties.getKey("/OCGs").appendItem(ocg);
    if (row.optionalContentOff) properties.getKey("/D").getKey("/OFF").appendItem(ocg);
    q.getRoot().replaceKey("/OCProperties", properties);
    QPDFObjectHandle resources = QPDFObjectHandle::parse(
        "<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> /Properties << >> >>");
    resources.getKey("/Properties").replaceKey("/oc1", ocg);
    QPDFObjectHandle contents = QPDFObjectHandle::newArray();
    for (const std::string& data : row.streams) contents.appendItem(QPDFObjectHandle::newStream(&q, data));
    if (row.streams.size() == 1) contents = contents.getArrayItem(0);
    qmtest::writeWithPage(q, "0 0 612 792", contents, resources, path, qpdf_s_compress);
}

// Wraps the page as a run does and stamps a footer "Page 1 of 1" at the
// bottom centre, 36 points up; answers the output's path.
std::string Stamp(const OpenStateRow& row, const qmtest::FixtureFolder& folder) {
    const std::string input = folder.file(std::string(row.name) + ".pdf");
    WriteInput(row, input);
    auto doc = enginetest::OpenDocument(input);
    EXPECT_TRUE(doc->WrapAllPageContents());
    auto stamp = enginetest::MakeTextStamp(*doc, "Page 1 of 1", 12);
    stamp->placement.SetAlignment(2, 1);
    stamp->placement.SetOffset(0, 36);
    EXPECT_TRUE(stamp->element.Write(0));
    const std::string output = folder.file(std::string(row.name) + "-stamped.pdf");
    enginetest::SaveDocument(*doc, output);
    EXPECT_EQ(qmtest::qpdfCheck(output).status, 0);
    return output;
}

// Dark pixels in the box (pdftotext's, from the top-left corner), at kDpi.
int InkIn(const std::string& path, const enginetest::Word& box) {
    const auto raster = enginetest::RenderArea(path, 1, kDpi, kPageHeight, box.xMin, kPageHeight - box.yMax, box.xMax,
                                               kPageHeight - box.yMin);
    int dark = 0;
    for (size_t at = 0; at + 2 < raster.rgb.size(); at += 3)
        dark += raster.rgb[at] + raster.rgb[at + 1] + raster.rgb[at + 2] < 3 * 128;
    return dark;
}

const char* const kText = "BT /F1 40 Tf 72 700 Td (x) Tj ET";

// A restore below the start ends the rest of the content in some viewers and
// is ignored in others; the page is drawn as by the latter: its text too.
const OpenStateRow kRows[] = {
    {"ScaleAndAnOpenSave", {std::string("0.5 0 0 0.5 0 0 cm q ") + kText}, 0.5},
    {"InvisibleTextAndAClipLeftOpen", {"0 1 0 rg 3 Tr q 0 0 100 100 re W n"}, 0},
    {"MarkedContentOfAHiddenLayerNotEnded", {std::string("/OC /oc1 BDC ") + kText}, 0, true},
    {"RestoresBelowTheStart", {std::string("Q Q 0.5 0 0 0.5 0 0 cm ") + kText}, 0.5},
    {"ATextObjectLeftOpen", {"BT /F1 40 Tf 72 700 Td 3 Tr (x) Tj"}, 1},
    {"AnOpenSaveSplitBetweenStreams", {"0.5 0 0 0.5 0 0 cm q B", "T /F1 40 Tf 72 700 Td (x) Tj ET"}, 0.5},
    {"ACommentAtTheEnd", {std::string("0.5 0 0 0.5 0 0 cm ") + kText + " % no end of line"}, 0.5},
};

class StampInInitialState : public testing::TestWithParam<OpenStateRow> {};

TEST_P(StampInInitialState, FooterStandsAndIsDrawnAsOnAPlainPage) {
    enginetest::StartEngine();
    qmtest::FixtureFolder folder;
    const std::string plain = Stamp(OpenStateRow{"Plain", {kText}, 1}, folder);
    const OpenStateRow& row = GetParam();
    const std::string stamped = Stamp(row, folder);

    enginetest::Word expected{}, footer{};
    ASSERT_TRUE(enginetest::FindWords(enginetest::TextBoxes(plain).at(0), "Page", expected));
    ASSERT_TRUE(enginetest::FindWords(enginetest::TextBoxes(stamped).at(0), "Page", footer)) << "the footer is there";
    EXPECT_NEAR(footer.xMin, expected.xMin, 0.5);
    EXPECT_NEAR(footer.xMax, expected.xMax, 0.5) << "full size";
    EXPECT_NEAR(footer.yMin, expected.yMin, 0.5);
    EXPECT_NEAR(footer.yMax, expected.yMax, 0.5);
    EXPECT_GE(InkIn(stamped, expected) * 2, InkIn(plain, expected)) << "the footer is drawn";

    // The page's own "x" (40 points at 72 700 under its scale) is drawn as
    // the content says, whatever follows it.
    enginetest::Word own{};
    ASSERT_EQ(enginetest::FindWords(enginetest::TextBoxes(stamped).at(0), "x", own), row.ownScale > 0);
    if (row.ownScale > 0) {
        EXPECT_NEAR(own.xMin, 72 * row.ownScale, 1);
        EXPECT_NEAR(own.xMax - own.xMin, 20 * row.ownScale, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, StampInInitialState, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<OpenStateRow>& row) { return std::string(row.param.name); });

}  // namespace
