// Every road that saves a stamped document writes an embedded system font as
// a subset (pdffonts: "ABCDEF+Name", embedded, subset) whose text pdftotext
// still reads: stamp, stamp into a new document (WTNF), batch and session.
#include <regex>
#include <string>
#include <vector>

#include "CommandLineFixture.h"

namespace {

using clitest::CommandLineTest;

// A Chinese Bates number in WenQuanYi Micro Hei, embedded or not.
std::string ChineseProfile(bool embed) {
    return std::string(R"({"kNumberOfStamps": 1, "kStamp0": {"kStampNameE": "Bates", "kStampType": 0,
        "kTextE": "证据第$BatesNo[1]页", "kTypeC": 1, "kStyleSystemC": "WenQuanYi Micro Hei",
        "kEmbedCH": )") + (embed ? "true" : "false") + R"(, "kSizeE": 11, "kOpacityS": 100, "kOverlay": true,
        "kColorFontC": 0, "kHorizontalC": 1, "kHorizontalS": 0.5, "kVerticalS": 0.5}})";
}

class CommandLineFontSubset : public CommandLineTest {
protected:
    void SetUp() override {
        qmtest::writeSimplePdf(File("contract.pdf"), 3);
        ImportProfile("embedded", ChineseProfile(true));
        ImportProfile("named", ChineseProfile(false));
    }
    std::string Fonts(const std::string& pdf) const { return qmtest::runCommand("pdffonts " + Q(pdf)).output; }
};

TEST_F(CommandLineFontSubset, EverySaveRoadWritesATaggedSubset) {
    struct Road {
        const char* label;
        std::string run;  // shell arguments, or session lines when session is set
        bool session;
        bool writeToNewFile;
        std::string output;
    };
    ASSERT_EQ(qmtest::runCommand("mkdir -p " + Q(File("batch"))).status, 0);
    const std::vector<Road> roads = {
        {"stamp", "stamp --profile embedded " + Q(File("contract.pdf")) + " -o " + Q(File("stamp.pdf")), false,
         false, File("stamp.pdf")},
        {"stamp into a new document", "stamp --profile embedded " + Q(File("contract.pdf")) + " -o " +
         Q(File("new.pdf")), false, true, File("new.pdf")},
        {"batch", "batch --profile embedded --out-dir " + Q(File("batch")) + " " + Q(File("contract.pdf")), false,
         false, File("batch/contract.pdf")},
        {"session", "open " + File("contract.pdf") + "\nstamp embedded\nsave " + File("session.pdf") + "\nquit\n",
         true, false, File("session.pdf")},
    };
    const std::regex subset(R"(\n[A-Z]{6}\+WenQuanYiMicroHei +CID TrueType +Identity-H +yes +yes +yes )");
    for (const Road& road : roads) {
        ASSERT_EQ(Cli(std::string("prefs set WTNF ") + (road.writeToNewFile ? "true" : "false")).status, 0);
        const auto run = road.session ? Session(road.run) : Cli(road.run);
        ASSERT_EQ(run.status, 0) << road.label << ": " << run.output;
        EXPECT_EQ(run.output.find("error"), std::string::npos) << road.label << ": " << run.output;
        const std::string fonts = Fonts(road.output);
        EXPECT_TRUE(std::regex_search(fonts, subset)) << road.label << ":\n" << fonts;
        EXPECT_NE(PageText(road.output, 3).find("证据第000003页"), std::string::npos) << road.label;
        EXPECT_EQ(qmtest::qpdfCheck(road.output).status, 0) << road.label;
        // The whole font is 2 MB and more; three pages with a subset stay small.
        EXPECT_LT(qmtest::readBytes(road.output).size(), 60000u) << road.label;
    }
}

TEST_F(CommandLineFontSubset, FontNotEmbeddedIsNamedWithTheChineseCollection) {
    const auto run = Cli("stamp --profile named " + Q(File("contract.pdf")) + " -o " + Q(File("named.pdf")));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string fonts = Fonts(File("named.pdf"));
    EXPECT_TRUE(std::regex_search(fonts, std::regex(R"(\nWenQuanYiMicroHei +CID TrueType +UniGB-UCS2-H +no +no +yes )")))
        << fonts;
    EXPECT_EQ(fonts.find("Identity-H"), std::string::npos) << fonts;
    EXPECT_NE(PageText(File("named.pdf"), 2).find("证据第000002页"), std::string::npos);
}

TEST_F(CommandLineFontSubset, TwoStampsInOneFontShareOneSubset) {
    ImportProfile("two", R"({"kNumberOfStamps": 2,
        "kStamp0": {"kStampNameE": "Bates", "kStampType": 0, "kTextE": "证据第$BatesNo[1]页", "kTypeC": 1,
                    "kStyleSystemC": "WenQuanYi Micro Hei", "kEmbedCH": true, "kSizeE": 11, "kOpacityS": 100,
                    "kOverlay": true, "kColorFontC": 0, "kHorizontalC": 1, "kHorizontalS": 0.5,
                    "kVerticalS": 0.5},
        "kStamp1": {"kStampNameE": "Mark", "kStampType": 0, "kTextE": "机密文件", "kTypeC": 1,
                    "kStyleSystemC": "WenQuanYi Micro Hei", "kEmbedCH": true, "kSizeE": 20, "kOpacityS": 100,
                    "kOverlay": true, "kColorFontC": 0, "kHorizontalC": 2, "kVerticalC": 2}})");
    const auto run = Cli("stamp --profile two " + Q(File("contract.pdf")) + " -o " + Q(File("two.pdf")));
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string fonts = Fonts(File("two.pdf"));
    const std::regex subset(R"([A-Z]{6}\+WenQuanYiMicroHei )");
    EXPECT_EQ(std::distance(std::sregex_iterator(fonts.begin(), fonts.end(), subset), std::sregex_iterator()), 1)
        << fonts;
    const std::string text = PageText(File("two.pdf"), 2);
    EXPECT_NE(text.find("证据第000002页"), std::string::npos) << text;
    EXPECT_NE(text.find("机密文件"), std::string::npos) << text;
}

}  // namespace
