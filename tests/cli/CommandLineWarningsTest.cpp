// A run that succeeds while the plug-in warns saves its output, exits 0 and
// prints the warning on standard error, in `stamp`, `batch` and `session`
// alike; a run that fails exits 1 (or answers "error") and saves nothing. What
// a run writes other than it was asked to warns once per run.
#include "CommandLineFixture.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <filesystem>

namespace {

using clitest::CommandLineTest;
using clitest::CountOf;
using clitest::SplitResult;

const char* const kGoodProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "S", "kTextE": "Stamped", "kSizeE": 12, "kOpacityS": 100, "kOverlay": true,
              "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1}})";
// Page 9 of a two-page document: the run fails.
const char* const kFailingProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "S", "kTextE": "Stamped", "kPages": 1, "kPagesE": "9"}})";

enum class Road { Stamp, Batch, Session };

struct Row {
    const char* name;
    Road road;
    bool failing;  // the profile fails the run
};

class CommandLineWarnings : public CommandLineTest {
protected:
    void SetUp() override {
        qmtest::writeSimplePdf(File("in.pdf"), 2);
        ImportProfile("Good", kGoodProfile);
        ImportProfile("Bad", kFailingProfile);
        ASSERT_EQ(Cli("prefs set EnLo true").status, 0);
        // The log file is a folder: no line can be written, and the plug-in warns.
        std::filesystem::create_directories(Plugins() + "/Quillmark.txt");
    }

    // Runs the road; answers its status, its standard error and the output file.
    SplitResult RunRoad(const Row& row, std::string* output) const {
        const std::string profile = row.failing ? "Bad" : "Good";
        const std::string tag = row.failing ? "-failed" : "";
        switch (row.road) {
            case Road::Stamp:
                *output = File("stamped" + tag + ".pdf");
                return CliSplit("stamp --profile " + profile + " " + Q(File("in.pdf")) + " -o " + Q(*output));
            case Road::Batch:
                *output = File("out/in.pdf");
                return CliSplit("batch --profile " + profile + " --out-dir " + Q(File("out")) + " " +
                                Q(File("in.pdf")));
            case Road::Session: {
                *output = File("session" + tag + ".pdf");
                const std::string lines = "open " + File("in.pdf") + "\nstamp " + profile + "\n";
                qmtest::writeBytes(File("lines.txt"), lines + (row.failing ? "" : "save " + *output + "\n") + "quit\n");
                return CliSplit("session < " + Q(File("lines.txt")));
            }
        }
        return {};
    }
};

TEST_F(CommandLineWarnings, AWarningNeverFailsARunAndAFailureSavesNothing) {
    const Row rows[] = {
        {"stamp that warns", Road::Stamp, false},   {"batch that warns", Road::Batch, false},
        {"session that warns", Road::Session, false}, {"stamp that fails", Road::Stamp, true},
        {"batch that fails", Road::Batch, true},    {"session that fails", Road::Session, true},
    };
    for (const Row& row : rows) {
        std::filesystem::remove_all(File("out"));
        std::string output;
        const SplitResult run = RunRoad(row, &output);
        EXPECT_NE(run.err.find("warning: The log file"), std::string::npos) << row.name << ": " << run.err;
        if (row.failing) {
            EXPECT_EQ(run.status, 1) << row.name;
            EXPECT_FALSE(qmtest::fileExists(output)) << row.name;
            if (row.road == Road::Session) {
                EXPECT_NE(run.out.find("error: "), std::string::npos) << run.out;
            }
            continue;
        }
        EXPECT_EQ(run.status, 0) << row.name << ": " << run.err;
        EXPECT_EQ(run.out.find("error"), std::string::npos) << row.name << ": " << run.out;
        ASSERT_TRUE(qmtest::fileExists(output)) << row.name;
        EXPECT_NE(PageText(output, 1).find("Stamped"), std::string::npos) << row.name;
        EXPECT_EQ(qmtest::qpdfCheck(output).status, 0) << row.name;
    }
}

// A copy of the file whose form holds a signed signature field (its /SigFlags
// left out, so that the field itself must be found), under a parent field.
void WriteSignedCopy(const std::string& from, const std::string& to) {
    QPDF pdf;
    pdf.processFile(from.c_str());
    QPDFObjectHandle signature = pdf.makeIndirectObject(QPDFObjectHandle::parse(
        "<< /Type /Sig /Filter /Adobe.PPKLite /ByteRange [0 0 0 0] /Contents <00> >>"));
    QPDFObjectHandle kid =
        pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /T (one) /Rect [0 0 0 0] /Subtype /Widget >>"));
    kid.replaceKey("/V", signature);
    QPDFObjectHandle parent = pdf.makeIndirectObject(QPDFObjectHandle::parse("<< /FT /Sig /T (sig) >>"));
    parent.replaceKey("/Kids", QPDFObjectHandle::newArray({kid}));
    kid.replaceKey("/Parent", parent);
    QPDFObjectHandle form = QPDFObjectHandle::parse("<< >>");
    form.replaceKey("/Fields", QPDFObjectHandle::newArray({parent}));
    pdf.getRoot().replaceKey("/AcroForm", pdf.makeIndirectObject(form));
    QPDFWriter writer(pdf, to.c_str());
    writer.write();
}

// A text stamp of this name, text and further keys.
std::string TextStamp(const std::string& name, const std::string& text, const std::string& keys) {
    return R"({"kNumberOfStamps": 1, "kStamp0": {"kStampNameE": ")" + name + R"(", "kTextE": ")" + text +
           R"(", "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, )" + keys + "}}";
}

// Words enough for many lines at 40 points.
std::string ManyWords() {
    std::string text;
    for (int i = 0; i < 120; ++i) text += "word" + std::to_string(i) + " ";
    return text + "end";
}

// What a run writes other than it was asked to is said once, naming the stamp,
// the page and what is drawn instead: a system font that is not installed,
// word-wrapped text that does not fit, characters a font cannot show, a link
// whose action cannot be read. The run still saves and exits 0.
TEST_F(CommandLineWarnings, SignaturesFallbacksAndCutsWarnOncePerRun) {
    std::filesystem::remove_all(Plugins() + "/Quillmark.txt");
    ASSERT_EQ(Cli("prefs set EnLo false").status, 0);
    WriteSignedCopy(File("in.pdf"), File("signed.pdf"));
    // A stamp in Helvetica with Chinese text on both pages: one warning for the run.
    ImportProfile("Chinese", R"({"kNumberOfStamps": 1,
      "kStamp0": {"kStampNameE": "A", "kTextE": "机密 Secret", "kSizeE": 20, "kOpacityS": 100, "kOverlay": true,
                  "kColorFontC": 0, "kStyleStandardC": 4}})");
    // A link whose action document is a bare header: it imports, but cannot
    // be read when the run makes the link.
    ImportProfile("Unlinked", R"({"kNumberOfStamps": 1,
      "kStamp0": {"kStampNameE": "L", "kTextE": "Stamped", "kSizeE": 12, "kOpacityS": 100, "kOverlay": true,
                  "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1, "kActionC": "JVBERi0xLjQK"}})");
    struct WarningRow {
        const char* input;
        const char* profile;
        std::string json;     // the profile, imported here; "" when imported above
        const char* warning;  // "" for none
        const char* text;     // what pdftotext reads on page 1, "" not checked
    };
    const WarningRow rows[] = {
        {"signed.pdf", "Good", "", "carries digital signatures: the stamps change the document", ""},
        {"in.pdf", "Good", "", "", ""},
        // The text itself is written, with "?" where the font has no glyph.
        {"in.pdf", "Chinese", "",
         "the font Helvetica cannot show some characters of the stamp \"A\" on page 1 (机密); they are drawn as \"?\"",
         "?? Secret"},
        // The stamp without its link is written.
        {"in.pdf", "Unlinked", "", "stamp \"L\": 不能设置选择的动作 (its action document cannot be read", "Stamped"},
        {"in.pdf", "Unknown", TextStamp("F", "Fallback", R"("kTypeC": 1, "kStyleSystemC": "NoSuchFont-Quillmark")"),
         "warning: the system font \"NoSuchFont-Quillmark\" of the stamp \"F\" is not installed: page 1 is "
         "stamped in Times-Roman instead",
         "Fallback"},
        {"in.pdf", "RunsOff", TextStamp("W", ManyWords(), R"("kSizeE": 40, "kWordWrapCH": true, "kVerticalS": 1)"),
         "warning: the word-wrapped text of the stamp \"W\" does not fit on page 1: it runs off the page", "word0"},
        {"in.pdf", "Rotated", TextStamp("R", ManyWords(), R"("kSizeE": 40, "kWordWrapCH": true, "kRotationS": 30)"),
         "warning: the word-wrapped text of the stamp \"R\" does not fit on page 1: the text that does not fit is "
         "left out",
         ""},
        {"in.pdf", "Fits",
         TextStamp("S", "a short text that wraps", R"("kSizeE": 40, "kWordWrapCH": true, "kVerticalS": 1)"), "",
         "text that wraps"},
        // Symbol and ZapfDingbats write the characters they hold.
        {"in.pdf", "Symbol", TextStamp("G", "\u03b1\u03b2\u03b3 \u2264 x", R"("kSizeE": 20, "kStyleStandardC": 12)"),
         "warning: the font Symbol cannot show some characters of the stamp \"G\" on page 1 (x); they are drawn as "
         "\"?\"",
         "\u03b1\u03b2\u03b3 \u2264 ?"},
        {"in.pdf", "Dingbats", TextStamp("D", "\u2708\u2714 A", R"("kSizeE": 20, "kStyleStandardC": 13)"),
         "warning: the font ZapfDingbats cannot show some characters of the stamp \"D\" on page 1 (A); they are "
         "left blank",
         "\u2708\u2714"},
    };
    int n = 0;
    for (const WarningRow& row : rows) {
        SCOPED_TRACE(std::string(row.input) + " " + row.profile);
        if (!row.json.empty()) ImportProfile(row.profile, row.json);
        const std::string output = File("w" + std::to_string(++n) + ".pdf");
        const SplitResult run =
            CliSplit("stamp --profile " + std::string(row.profile) + " " + Q(File(row.input)) + " -o " + Q(output));
        EXPECT_EQ(run.status, 0) << run.err;
        ASSERT_TRUE(qmtest::fileExists(output));
        if (*row.text) {
            EXPECT_NE(PageText(output, 1).find(row.text), std::string::npos) << PageText(output, 1);
        }
        if (!*row.warning) {
            EXPECT_EQ(run.err.find("warning"), std::string::npos) << run.err;
            continue;
        }
        EXPECT_NE(run.err.find(row.warning), std::string::npos) << run.err;
        EXPECT_EQ(CountOf(run.err, "warning:"), 1u) << "once per run, though every page is stamped: " << run.err;
    }
    // A batch warns for the signed document too, and saves it.
    const SplitResult batch = CliSplit("batch --profile Good --out-dir " + Q(File("sb")) + " " + Q(File("signed.pdf")));
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_NE(batch.err.find("digital signatures"), std::string::npos) << batch.err;
    EXPECT_TRUE(qmtest::fileExists(File("sb/signed.pdf")));
}

}  // namespace
