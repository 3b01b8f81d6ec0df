// Documents as the user's files give them: a linearized document saved again
// and again in one session, damaged files that qpdf repairs (its warnings
// reach standard error, named by file), a file whose page tree qpdf cannot
// read (refused, not stamped into an empty file), and pages that share one
// list of annotations (a link stamped on one page stays there). Outputs are
// read back with qpdf and pdftotext.
#include "CommandLineFixture.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include <QByteArray>

#include <string>
#include <vector>

namespace {

using clitest::CommandLineTest;
using clitest::SplitResult;

const char* const kFooterProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "Footer", "kTextE": "Stamped $PageNo[1]", "kSizeE": 12, "kOpacityS": 100,
              "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1}})";

using qmtest::rawPdf;

// Two pages "first page" and "second page" under a page tree whose /Kids is
// given (the pages are objects 3 and 4).
std::string TwoPagePdf(const std::string& kids) {
    auto content = [](const std::string& text) {
        const std::string data = "BT /F1 24 Tf 72 700 Td (" + text + ") Tj ET";
        return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
    };
    auto page = [](int contents) {
        return "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents " + std::to_string(contents) +
               " 0 R /Resources << /Font << /F1 7 0 R >> >> >>";
    };
    return rawPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids " + kids + " /Count 2 >>", page(5),
                   page(6), content("first page"), content("second page"),
                   "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"});
}

class CommandLineDocumentFiles : public CommandLineTest {
protected:
    void SetUp() override { ImportProfile("Footer", kFooterProfile); }
};

TEST_F(CommandLineDocumentFiles, ALinearizedDocumentStaysWholeAndLinearizedHoweverOftenItIsSaved) {
    qmtest::writeSimplePdf(File("plain.pdf"), 3);
    const auto made = qmtest::runCommand("qpdf --linearize " + Q(File("plain.pdf")) + " " + Q(File("lin.pdf")));
    ASSERT_EQ(made.status, 0) << made.output;
    // Saved before and after a stamp, once more unchanged, and after a stamp
    // and its undo (a save ends what undo can take back).
    const std::string lin = File("lin.pdf");
    const auto run = Session("open " + lin + "\nsave " + File("a.pdf") + "\nstamp Footer\nsave " + File("b.pdf") +
                             "\nsave " + File("c.pdf") + "\nstamp Footer\nundo\nsave " + File("d.pdf") + "\nquit\n");
    ASSERT_EQ(run.output, "ok\nok\nok\nok\nok\nok\nok\nok\nok\n");
    struct Saved {
        const char* name;
        size_t stamps;
    };
    for (const Saved saved : {Saved{"a.pdf", 0}, Saved{"b.pdf", 1}, Saved{"c.pdf", 1}, Saved{"d.pdf", 1}}) {
        const std::string out = File(saved.name);
        const auto check = qmtest::qpdfCheck(out);
        EXPECT_EQ(check.status, 0) << saved.name << ": " << check.output;
        const auto linearization = qmtest::runCommand("qpdf --check-linearization " + Q(out));
        EXPECT_NE(linearization.output.find("no linearization errors"), std::string::npos)
            << saved.name << ": " << linearization.output;
        for (int page = 1; page <= 3; ++page) {
            const std::string text = PageText(out, page);
            EXPECT_NE(text.find("page " + std::to_string(page)), std::string::npos) << saved.name << " " << page;
            // d.pdf keeps the stamp of b.pdf and c.pdf, not the one undone.
            const size_t stamps = text.find("Stamped " + std::to_string(page)) == std::string::npos ? 0
                                  : text.find("Stamped", text.find("Stamped") + 1) == std::string::npos ? 1 : 2;
            EXPECT_EQ(stamps, saved.stamps) << saved.name << " " << page << ": " << text;
        }
    }
}

// One bad token in /Kids: qpdf's recovery drops the page tree, which poppler
// still reads. Every command refuses the document, says why on standard error
// with qpdf's warning named by file, and writes nothing.
TEST_F(CommandLineDocumentFiles, ADocumentWhosePagesQpdfCannotReadIsRefusedWithItsWarnings) {
    const std::string input = File("bad-kids.pdf");
    qmtest::writeBytes(input, TwoPagePdf("[3 0 R 4 99999999999999999999 R]"));
    ASSERT_NE(AllText(input).find("first page"), std::string::npos) << "poppler reads the input";
    struct Row {
        const char* command;
        std::string args;
    };
    const Row rows[] = {
        {"stamp", "stamp --profile Footer " + Q(input) + " -o " + Q(File("out/stamped.pdf"))},
        {"batch", "batch --profile Footer --out-dir " + Q(File("out")) + " " + Q(input)},
        {"session", "session < " + Q(File("session.txt"))},
    };
    qmtest::writeBytes(File("session.txt"), "open " + input + "\nquit\n");
    for (const Row& row : rows) {
        const SplitResult run = CliSplit(row.args);
        EXPECT_EQ(run.status, 1) << row.command << ": " << run.out << run.err;
        EXPECT_NE((run.out + run.err).find(input + " has no pages"), std::string::npos)
            << row.command << ": " << run.out << run.err;
        EXPECT_NE(run.err.find("warning: " + input), std::string::npos) << row.command << ": " << run.err;
        EXPECT_NE(run.err.find("99999999999999999999"), std::string::npos) << row.command << ": " << run.err;
        EXPECT_FALSE(qmtest::fileExists(File("out/stamped.pdf")) || qmtest::fileExists(File("out/bad-kids.pdf")))
            << row.command;
    }
}

// Messages about a file that cannot be opened name it once and say what could
// not be read and qpdf's reason why, without judging whether it can be repaired.
TEST_F(CommandLineDocumentFiles, AFileThatCannotBeOpenedIsNamedOnceAndDescribedAsItIs) {
    struct Row {
        const char* name;
        std::string bytes;
        const char* says;
        const char* notSaid;
    };
    const Row rows[] = {
        {"not-a-pdf.pdf", "plain text, no PDF\n", "cannot be read as a PDF file: unable to find trailer dictionary",
         "repair"},
        // qpdf copies this file (`qpdf in out`); its page tree holds itself.
        {"loop.pdf", TwoPagePdf("[3 0 R 2 0 R 4 0 R]"), "is a PDF file whose pages cannot be read", "repair"},
    };
    for (const Row& row : rows) {
        const std::string input = File(row.name);
        qmtest::writeBytes(input, row.bytes);
        const SplitResult run = CliSplit("stamp --profile Footer " + Q(input) + " -o " + Q(File("out.pdf")));
        EXPECT_EQ(run.status, 1) << row.name;
        EXPECT_NE(run.err.find(input + " " + row.says), std::string::npos) << row.name << ": " << run.err;
        EXPECT_EQ(run.err.find(input), run.err.rfind(input)) << row.name << ": named once: " << run.err;
        EXPECT_EQ(run.err.find(row.notSaid), std::string::npos) << row.name << ": " << run.err;
    }
}

// qpdf reads a page tree of twelve direct pages with warnings (a warning
// each); it writes a form whose hexadecimal data does not decode with one. The
// stamp goes on; the warnings reach standard error named by file, five at most
// and a line that counts the rest.
TEST_F(CommandLineDocumentFiles, WarningsOfQpdfWhileReadingOrWritingReachTheUserNamedByFileAndCapped) {
    std::string kids;
    for (int i = 0; i < 12; ++i)
        kids += "<< /Type /Page /MediaBox [0 0 612 792] /Contents 3 0 R /Resources << /Font << /F1 4 0 R >> >> >> ";
    const std::string content = "BT /F1 24 Tf 72 700 Td (a page) Tj ET";
    const std::string directPages =
        rawPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [" + kids + "] /Count 12 >>",
                "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
                "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"});
    const std::string badHex = rawPdf(
        {"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> "
         "/XObject << /X 6 0 R >> >> >>",
         "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
         "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
         "<< /Type /XObject /Subtype /Form /BBox [0 0 1 1] /Filter /ASCIIHexDecode /Length 4 "
         ">>\nstream\nzzzz\nendstream"});
    struct Row {
        const char* name;
        std::string bytes;
        const char* says;
        size_t lines;
    };
    const Row rows[] = {
        {"bad-hex.pdf", badHex, "error decoding stream data for object 6 0", 2},
        {"direct-pages.pdf", directPages, "direct-pages.pdf: 7 more warnings", 6},
    };
    for (const Row& row : rows) {
        const std::string input = File(row.name);
        qmtest::writeBytes(input, row.bytes);
        const SplitResult run = CliSplit("stamp --profile Footer " + Q(input) + " -o " + Q(File("out.pdf")));
        EXPECT_EQ(run.status, 0) << row.name << ": " << run.err;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << row.name << ": " << run.err;
        EXPECT_EQ(clitest::CountOf(run.err, "warning: " + input), row.lines) << row.name << ": " << run.err;
    }
}

// Three pages whose /Annots is one indirect array holding a note; a link
// stamped on page 1 only.
TEST_F(CommandLineDocumentFiles, ALinkStampedOnOnePageStaysOffThePagesThatShareItsAnnotations) {
    // A one-page document whose first bookmark carries a web link action.
    const std::string action = rawPdf(
        {"<< /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
         "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>", "<< /Type /Outlines /First 5 0 R /Last 5 0 R >>",
         "<< /Title (Link) /Parent 4 0 R /A << /S /URI /URI (https://example.org/q) >> >>"});
    const std::string base64 = QByteArray::fromStdString(action).toBase64().toStdString();
    ImportProfile("Linked", R"({"kNumberOfStamps": 1,
      "kStamp0": {"kStampNameE": "Mark", "kTextE": "Linked", "kSizeE": 12, "kOpacityS": 100, "kOverlay": true,
                  "kColorFontC": 0, "kPages": 1, "kPagesE": "1", "kActionC": ")" + base64 + R"("}})");

    const std::string shared = File("shared.pdf");
    const std::string sharing = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Annots 6 0 R >>";
    qmtest::writeBytes(
        shared, rawPdf({"<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R] /Count 3 >>",
                        sharing, sharing, sharing, "[<< /Type /Annot /Subtype /Text /Rect [10 10 30 30] >>]"}));
    const auto run = Session("open " + shared + "\nstamp Linked\nsave " + File("stamped.pdf") + "\nclose\nopen " +
                             shared + "\nstamp Linked\nundo\nsave " + File("undone.pdf") + "\nquit\n");
    ASSERT_EQ(run.output, "ok\nok\nok\nok\nok\nok\nok\nok\nok\n");

    struct Expected {
        const char* file;
        std::vector<int> annotations;  // per page
        bool oneSharedList;
    };
    for (const Expected& expected : {Expected{"stamped.pdf", {2, 1, 1}, false}, Expected{"undone.pdf", {1, 1, 1}, true}}) {
        QPDF pdf;
        pdf.processFile(File(expected.file).c_str());
        std::vector<int> counts;
        std::vector<QPDFObjGen> lists;
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            QPDFObjectHandle annots = page.getObjectHandle().getKey("/Annots");
            counts.push_back(annots.getArrayNItems());
            lists.push_back(annots.getObjGen());
        }
        EXPECT_EQ(counts, expected.annotations) << expected.file;
        // Undo puts back the list the page shared.
        EXPECT_EQ(lists[0] == lists[1] && lists[0].isIndirect(), expected.oneSharedList) << expected.file;
        EXPECT_EQ(qmtest::qpdfCheck(File(expected.file)).status, 0) << expected.file;
    }
}

}  // namespace
