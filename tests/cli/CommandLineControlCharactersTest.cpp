// Text from outside (profiles, file names, the log) reaches the terminal with
// its control characters written out, so that none of them clears the screen
// or sets the window's title; a file path with one is refused at import.
#include "CommandLineFixture.h"

#include <filesystem>

#include "support/TerminalText.h"
#include "cabinet/HostText.h"
#include "view/Alerts.h"

namespace {

using clitest::CommandLineTest;
using qmhost::EscapeControlCharacters;
using qmhost::LineBreaks;

// The control characters in UTF-8 text: C0 but the line feed, DEL and C1.
size_t RawControls(const std::string& text) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if ((c < 0x20 && c != '\n') || c == 0x7F || c1) ++count;
    }
    return count;
}

TEST(TerminalText, ControlCharactersAreWrittenOutAndTheRestKept) {
    const struct {
        std::string text;
        LineBreaks lineBreaks;
        std::string shown;
    } rows[] = {
        {"\x1b[2J\x1b]0;x\a", LineBreaks::Escape, "\\e[2J\\e]0;x\\a"},
        {"a\tb\r\nc\v\f\b", LineBreaks::Escape, "a\\tb\\r\\nc\\v\\f\\b"},
        {"one\ntwo\r\n", LineBreaks::Keep, "one\ntwo\\r\n"},
        {std::string("\0\x01\x1f\x7f", 4), LineBreaks::Escape, "\\x00\\x01\\x1f\\x7f"},
        {"\xC2\x9B" "2J \xC2\x80", LineBreaks::Escape, "\\u009b2J \\u0080"},
        {"\x9B" "2J", LineBreaks::Escape, "\\x9b2J"},
        {"caf\xE9 \xC2\xA0 \xE6\x96\x87 \xF0\x9F\x99\x82 C:\\temp", LineBreaks::Escape,
         "caf\xE9 \xC2\xA0 \xE6\x96\x87 \xF0\x9F\x99\x82 C:\\temp"},
    };
    for (const auto& row : rows) EXPECT_EQ(EscapeControlCharacters(row.text, row.lineBreaks), row.shown) << row.shown;
}

// Alerts the host prints itself, outside any command's capture.
TEST(TerminalText, AlertsPrintedByTheHostAreWrittenOut) {
    qmhost::Alerts& alerts = qmhost::alerts();
    const qmhost::AlertMode before = alerts.mode();
    alerts.setMode(qmhost::AlertMode::Print);
    testing::internal::CaptureStderr();
    alerts.show("cannot open \x1b[2J.pdf");
    alerts.warn("\a");
    const std::string printed = testing::internal::GetCapturedStderr();
    alerts.setMode(before);
    EXPECT_EQ(printed, "quillmark: cannot open \\e[2J.pdf\nquillmark: warning: \\a\n");
}

using CommandLineControlCharacters = CommandLineTest;

TEST_F(CommandLineControlCharacters, ReachTheTerminalWrittenOut) {
    const std::string title = "\x1b[2J\x1b]0;x\a";  // clears the screen, sets the window's title
    const std::string shown = "\\e[2J\\e]0;x\\a";
    qmtest::writeSimplePdf(File("contract.pdf"), 1);
    qmtest::writeSimplePdf(File(title + ".pdf"), 1);
    ImportProfile("numbers", R"({"kStamp0": {"kTextE": "x"}})");
    // A PDF-page stamp whose file is missing, as another program may have stored it.
    qmhost::Cabinet profile;
    auto stamp = std::make_unique<qmhost::Cabinet>();
    stamp->put("kStampType", int32_t{2});
    stamp->put("kOpacityS", int32_t{100});
    stamp->put("kSelectFileE", std::make_unique<qmhost::HostText>(File("gone/" + title + ".pdf")));
    stamp->put("kTextE", qmhost::StringValue{"line\r\n" + title + "\xC2\x9B"});
    profile.put("kNumberOfStamps", int32_t{1});
    profile.put("kStamp0", std::move(stamp));
    std::string error;
    ASSERT_TRUE(qmcli::ProfileStore(Plugins()).write("missing", profile, true, &error)) << error;
    qmtest::writeBytes(Plugins() + "/Profiles/" + title + ".nxp", qmtest::readBytes(Plugins() + "/Profiles/numbers.nxp"));
    qmtest::writeBytes(Plugins() + "/Quillmark.txt", "first\n" + title + "\n");
    qmtest::writeBytes(File("select.json"), R"({"kStamp0": {"kSelectFileE": "\u001b[2J\u001b]0;x\u0007.pdf"}})");
    const struct {
        const char* label;
        std::string command;
        std::string said;  // a part of the output
    } rows[] = {
        {"file path refused at import", "profile import " + Q(File("select.json")),
         "kStamp0.kSelectFileE: a file name may not hold control characters"},
        {"missing stamp file", "stamp --profile missing " + Q(File("contract.pdf")) + " -o " + Q(File("out.pdf")),
         "gone/" + shown + ".pdf"},
        {"missing document", "stamp --profile numbers " + Q(File("no" + title + ".pdf")) + " -o " + Q(File("o.pdf")),
         "no" + shown + ".pdf"},
        {"document saved", "stamp --profile numbers " + Q(File("contract.pdf")) + " -o " + Q(File(title + "out.pdf")),
         shown + "out.pdf\n"},
        {"batch output", "batch --profile numbers --out-dir " + Q(File("batch")) + " " + Q(File(title + ".pdf")),
         "batch/" + shown + ".pdf\n"},
        {"profile name", "stamp --profile " + Q("no" + title) + " " + Q(File("contract.pdf")) + " -o " + Q(File("p.pdf")),
         "no profile named \"no" + shown + "\""},
        {"profile list", "profile list", shown + "\nmissing\nnumbers\n"},
        {"menu list", "menu list", "\"" + shown + "\""},
        {"profile show", "profile show missing", "\"kTextE\": \"line\\n\\u001b[2J\\u001b]0;x\\u0007\\u009b\""},
        {"log show", "log show", "first\n" + shown + "\n"},
        {"info", "info " + Q(File(title + ".pdf")), shown + ".pdf: 1 page\n"},
    };
    std::filesystem::create_directories(File("batch"));
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const auto run = Cli(row.command);
        EXPECT_NE(run.output.find(row.said), std::string::npos) << run.output;
        EXPECT_EQ(RawControls(run.output), 0u) << run.output;
    }
    const auto session = Session("open " + File("no" + title + ".pdf") + "\n");
    EXPECT_NE(session.output.find("error: "), std::string::npos) << session.output;
    EXPECT_NE(session.output.find("no" + shown + ".pdf"), std::string::npos) << session.output;
    EXPECT_EQ(RawControls(session.output), 0u) << session.output;
}

}  // namespace
