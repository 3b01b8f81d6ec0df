// The numbers and names a run shows are right whatever the user typed: paths
// resolved from any working folder, folder totals counting "a.PDF", a page
// named twice in a range stamped once, no negative Bates numbers, profile
// names in any letter case, and stamp names given on import.
#include "CommandLineFixture.h"

#include <filesystem>

namespace {

using clitest::CommandLineTest;
using clitest::CountOf;

// Stamp 0 numbers pages 2 and 3 only; stamp 1 marks pages "1-3,odd" (1 and 3
// twice) with the batch page number as "M~n~".
const char* const kLateBatesProfile = R"({
  "kNumberOfStamps": 2,
  "kStamp0": {"kStampNameE": "Bates", "kTextE": "B=$BatesNo[1] T=$BatesTotalPages P=$FilePath", "kSizeE": 7,
              "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, "kPages": 1, "kPagesE": "2-3"},
  "kStamp1": {"kStampNameE": "Mark", "kTextE": "M~$BatchPageNo[1]~", "kSizeE": 9, "kOpacityS": 100,
              "kOverlay": true, "kColorFontC": 0, "kVerticalS": 3, "kPages": 1, "kPagesE": "1-3,odd"}
})";

class CommandLineNumbers : public CommandLineTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(File("r"));
        qmtest::writeSimplePdf(File("r/a.pdf"), 3);
        qmtest::writeSimplePdf(File("r/b.PDF"), 4);  // counted although its ".PDF" is upper case
        ImportProfile("Late", kLateBatesProfile);
    }
};

TEST_F(CommandLineNumbers, BatchFromInsideTheFolderGivesFullPathsTotalsAndOnePositiveNumberPerPage) {
    const std::string program = Q(QM_TEST_CLI_PATH) + " --plugin-dir " + Q(Plugins());
    const auto run = qmtest::runCommand("cd " + Q(File("r")) + " && " + program +
                                        " batch --profile LATE --out-dir ../o a.pdf b.PDF 2>&1");
    ASSERT_EQ(run.status, 0) << run.output;
    const std::string full = std::filesystem::canonical(File("r")).string();
    struct Row {
        const char* file;
        int page;
        const char* expected;  // "" for none
        const char* mark;      // the stamp 1 mark, "" for none
    };
    // 3 + 4 pages in the folder; numbering starts on a.pdf's page 2, so its
    // page 1 gets 0 (never "-1"); "1-3,odd" stamps pages 1 and 3 once each.
    const Row rows[] = {
        {"o/a.pdf", 1, "", "M~0~"},
        {"o/a.pdf", 2, "B=000001 T=000007", "M~1~"},
        {"o/a.pdf", 3, "B=000002 T=000007", "M~2~"},
        {"o/b.PDF", 1, "", "M~3~"},
        {"o/b.PDF", 2, "B=000004 T=000007", "M~4~"},
        {"o/b.PDF", 4, "", ""},
    };
    for (const Row& row : rows) {
        const std::string text = PageText(File(row.file), row.page);
        const std::string where = std::string(row.file) + " page " + std::to_string(row.page) + ": " + text;
        if (*row.expected) {
            EXPECT_NE(text.find(row.expected), std::string::npos) << where;
            const std::string input = std::string(row.file).substr(2);
            EXPECT_NE(text.find("P=" + full + "/" + input), std::string::npos) << where;
        }
        EXPECT_EQ(CountOf(text, "M~"), *row.mark ? 1u : 0u) << "stamped once: " << where;
        if (*row.mark) {
            EXPECT_NE(text.find(row.mark), std::string::npos) << where;
        }
        EXPECT_EQ(text.find("~-"), std::string::npos) << where;
        EXPECT_EQ(text.find("0-1"), std::string::npos) << where;
    }
}

TEST_F(CommandLineNumbers, ProfileNamesAreFoundInAnyLetterCase) {
    const std::string names[] = {"late", "LATE", "lAtE"};
    for (const std::string& name : names) {
        const auto stamp = CliSplit("stamp --profile " + Q(name) + " " + Q(File("r/a.pdf")) + " -o " +
                                    Q(File("s-" + name + ".pdf")));
        EXPECT_EQ(stamp.status, 0) << name << ": " << stamp.err;
        EXPECT_NE(PageText(File("s-" + name + ".pdf"), 2).find("B=000002"), std::string::npos) << name;
    }
    const auto batch = CliSplit("batch --profile late --out-dir " + Q(File("b")) + " " + Q(File("r/a.pdf")));
    EXPECT_EQ(batch.status, 0) << batch.err;
    const auto missing = CliSplit("stamp --profile Lat " + Q(File("r/a.pdf")) + " -o " + Q(File("x.pdf")));
    EXPECT_EQ(missing.status, 1);
}

TEST_F(CommandLineNumbers, ImportedStampsGetTheManagersNamesAndCaseClashesAreRefused) {
    struct Row {
        const char* stamps;      // the stamp objects of the profile
        const char* names;       // the names that profile show prints, in order; "" when refused
        const char* refusal;     // what the refusal says
    };
    const Row rows[] = {
        {R"("kStamp0": {"kTextE": "a"}, "kStamp1": {"kStampType": 1}, "kStamp2": {"kStampType": 2})", "文本|图像|PDF", ""},
        {R"("kStamp0": {"kStampNameE": "文本"}, "kStamp1": {}, "kStamp2": {})", "文本|文本1|文本2", ""},
        {R"("kStamp0": {"kStampNameE": ""})", "", "kStamp0.kStampNameE: a stamp needs a name"},
        {R"("kStamp0": {"kStampType": 2, "kStampNameE": "pdf"}, "kStamp1": {"kStampType": 2})", "pdf|PDF1", ""},
        {R"("kStamp0": {"kStampNameE": "Court"}, "kStamp1": {"kStampNameE": "COURT"})", "",
         "\"Court\" (kStamp0) and \"COURT\" (kStamp1) differ only in letter case"},
        {R"("kStamp0": {"kStampNameE": "a/b"})", "", "a stamp name may not hold"},
    };
    int n = 0;
    for (const Row& row : rows) {
        const std::string file = File("p" + std::to_string(++n) + ".json");
        qmtest::writeBytes(file, std::string("{") + row.stamps + "}");
        const auto run = CliSplit("profile import " + Q(file) + " --name P" + std::to_string(n));
        if (!*row.names) {
            EXPECT_EQ(run.status, 1) << row.stamps;
            EXPECT_NE(run.err.find(row.refusal), std::string::npos) << run.err;
            EXPECT_EQ(run.err.find("profile needs"), std::string::npos) << run.err;
            continue;
        }
        ASSERT_EQ(run.status, 0) << row.stamps << ": " << run.err;
        const std::string shown = CliSplit("profile show P" + std::to_string(n)).out;
        std::string names;
        for (size_t at = shown.find("\"kStampNameE\": \""); at != std::string::npos;
             at = shown.find("\"kStampNameE\": \"", at + 1)) {
            const size_t start = at + 16;
            names += (names.empty() ? "" : "|") + shown.substr(start, shown.find('"', start) - start);
        }
        EXPECT_EQ(names, row.names) << row.stamps;
    }
}

}  // namespace
