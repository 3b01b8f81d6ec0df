// `quillmark batch`: one batch sequence of the plug-in's batch command over
// several files; numbers go on from file to file, outputs are named after the
// inputs, inputs are never written, and a file that may not be stamped is
// refused while the others go on.
#include "CommandLineFixture.h"
#include "InProcessCommand.h"

#include <filesystem>
#include <tuple>

namespace {

using clitest::CommandLineTest;

class CommandLineBatch : public CommandLineTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(File("in"));
        qmtest::writeSimplePdf(File("in/a.pdf"), 2);
        qmtest::writeSimplePdf(File("in/b.pdf"), 3);
        qmtest::writeSimplePdf(File("in/c.pdf"), 1);
        ImportProfile("numbers", clitest::kNumberingProfile);
    }
    std::string Inputs() const { return Q(File("in/a.pdf")) + " " + Q(File("in/b.pdf")) + " " + Q(File("in/c.pdf")); }
};

TEST_F(CommandLineBatch, BatesNumbersGoOnAcrossTheFilesInOrder) {
    const auto run = CliSplit("batch --profile numbers --out-dir " + Q(File("out")) + " " + Inputs());
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, File("out/a.pdf") + "\n" + File("out/b.pdf") + "\n" + File("out/c.pdf") + "\n");
    struct Expected {
        const char* file;
        int page;
        const char* bates;
        const char* footer;
    };
    const Expected pages[] = {
        {"out/a.pdf", 1, "QM-000001", "Page 1 of 2"}, {"out/a.pdf", 2, "QM-000002", "Page 2 of 2"},
        {"out/b.pdf", 1, "QM-000003", "Page 1 of 3"}, {"out/b.pdf", 2, "QM-000004", "Page 2 of 3"},
        {"out/b.pdf", 3, "QM-000005", "Page 3 of 3"}, {"out/c.pdf", 1, "QM-000006", "Page 1 of 1"},
    };
    for (const Expected& page : pages) {
        const std::string text = PageText(File(page.file), page.page);
        EXPECT_NE(text.find(page.bates), std::string::npos) << page.file << " " << page.page << ": " << text;
        EXPECT_NE(text.find(page.footer), std::string::npos) << page.file << " " << page.page << ": " << text;
    }
    EXPECT_NE(PageText(File("out/b.pdf"), 1).find("File b.pdf"), std::string::npos)
        << "each file's own name, from its first page on";
    EXPECT_EQ(PageText(File("in/b.pdf"), 1).find("QM-"), std::string::npos) << "inputs are not written";
}

TEST_F(CommandLineBatch, OutputFolderHoldingAnInputIsRefused) {
    const auto run = Cli("batch --profile numbers --out-dir " + Q(File("in")) + " " + Inputs());
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(PageText(File("in/a.pdf"), 1).find("QM-"), std::string::npos) << run.output;
}

TEST_F(CommandLineBatch, MissingProfileFailsBeforeAnyFileIsRun) {
    const auto run = Cli("batch --profile nosuch --out-dir " + Q(File("out")) + " " + Inputs());
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.output.find("no profile named \"nosuch\""), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(File("out/a.pdf")));
}

TEST_F(CommandLineBatch, FileThatCannotBeOpenedFailsTheRunAndIsNamed) {
    qmtest::writeNonPdf(File("in/broken.pdf"));
    const auto run = CliSplit("batch --profile numbers --out-dir " + Q(File("out")) + " " + Q(File("in/a.pdf")) +
                              " " + Q(File("in/broken.pdf")));
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("broken.pdf"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find(File("out/a.pdf")), std::string::npos) << "the good file is still saved";
}

// A stamp whose font cannot be made fails a `stamp` run; in a batch the file
// is still saved, and what the command reported is printed, named by file.
TEST_F(CommandLineBatch, WhatTheCommandReportsForASavedFileIsPrinted) {
    // Written as a stored profile: an import refuses a font number out of range.
    StoreTextProfile("odd", "ODDFONT", 100, "kStyleStandardC", 40);

    const auto run = CliSplit("batch --profile odd --out-dir " + Q(File("out")) + " " + Q(File("in/a.pdf")) + " " +
                              Q(File("in/c.pdf")));
    EXPECT_EQ(run.out, File("out/a.pdf") + "\n" + File("out/c.pdf") + "\n") << run.err;
    for (const char* input : {"in/a.pdf", "in/c.pdf"})
        EXPECT_NE(run.err.find("batch: " + File(input) + ": warning: 创建标准字体 40 出错"), std::string::npos)
            << input << ": " << run.err;
}

// Every warning of a file is printed in one form, after the file's name, and
// file by file in the order given: what qpdf repaired while reading the last
// file comes after what the stamps said of the first.
TEST_F(CommandLineBatch, WarningsAreNamedByFileInOneFormAndInTheOrderOfTheFiles) {
    StoreTextProfile("odd", "ODDFONT", 100, "kStyleStandardC", 40);
    const std::string bytes = qmtest::readBytes(File("in/c.pdf"));
    qmtest::truncateFile(File("in/c.pdf"), static_cast<long>(bytes.rfind("startxref")));  // qpdf rebuilds the table

    const auto run = CliSplit("batch --profile odd --out-dir " + Q(File("out")) + " " + Inputs());
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> inputs = {File("in/a.pdf"), File("in/b.pdf"), File("in/c.pdf")};
    std::vector<size_t> perFile(inputs.size(), 0);
    size_t previous = 0;
    for (const std::string& line : clitest::LinesOf(run.err)) {
        if (line.find("warning") == std::string::npos) continue;
        size_t file = 0;
        while (file < inputs.size() && line.rfind("quillmark: batch: " + inputs[file] + ": warning: ", 0) != 0) ++file;
        ASSERT_LT(file, inputs.size()) << "not in the form of the others: " << line << "\n" << run.err;
        EXPECT_GE(file, previous) << "out of the order of the files: " << line << "\n" << run.err;
        previous = file;
        ++perFile[file];
    }
    EXPECT_EQ(perFile[0], 1u) << run.err;
    EXPECT_GT(perFile[2], 1u) << "qpdf's repairs and the stamp's warning: " << run.err;
}

// A document whose security settings forbid printing, changes or notes was
// stamped by a batch, where `stamp` and a session refused it. It is refused
// with the reason, on every road, and the batch goes on with the others; one
// opened with its owner password (here the empty one) keeps every right.
TEST_F(CommandLineBatch, ADocumentThatMayNotBeStampedIsRefusedWithTheReasonAndTheOthersGoOn) {
    for (const auto& [name, owner, restrictions] : {std::tuple{"noprint.pdf", "owner", "--print=none"},
                                                    std::tuple{"locked.pdf", "owner", "--print=none --modify=none"},
                                                    std::tuple{"ownerless.pdf", "", "--print=none --modify=none"}})
        ASSERT_EQ(qmtest::runCommand("qpdf --encrypt '' " + Q(owner) + " 256 " + restrictions + " -- " +
                                     Q(File("in/a.pdf")) + " " + Q(File(std::string("in/") + name)))
                      .status,
                  0);
    const std::string lockedBytes = qmtest::readBytes(File("in/locked.pdf"));

    const auto batch =
        CliSplit("batch --profile numbers --out-dir " + Q(File("out")) + " " + Q(File("in/a.pdf")) + " " +
                 Q(File("in/noprint.pdf")) + " " + Q(File("in/locked.pdf")) + " " + Q(File("in/ownerless.pdf")));
    EXPECT_EQ(batch.status, 1) << batch.err;
    EXPECT_EQ(batch.out, File("out/a.pdf") + "\n" + File("out/ownerless.pdf") + "\n") << batch.err;
    for (const auto& [file, reason] :
         {std::pair{"noprint.pdf", "the document may not be stamped (its security settings forbid printing)"},
          std::pair{"locked.pdf",
                    "the document may not be stamped (its security settings forbid printing, changes and notes)"}}) {
        EXPECT_NE(batch.err.find(std::string(file) + ": error: " + reason), std::string::npos) << batch.err;
        EXPECT_FALSE(qmtest::fileExists(File(std::string("out/") + file))) << file;
    }
    // The refused files take no Bates numbers.
    EXPECT_NE(PageText(File("out/ownerless.pdf"), 2).find("QM-000004"), std::string::npos)
        << PageText(File("out/ownerless.pdf"), 2);

    const auto session =
        Session("open " + File("in/locked.pdf") + "\nstamp numbers\nclose\nopen " + File("in/ownerless.pdf") +
                "\nstamp numbers\nsave " + File("session.pdf") + "\nquit\n");
    EXPECT_EQ(session.status, 1) << session.output;
    EXPECT_NE(session.output.find("error: the document may not be stamped with \"numbers\" (its security settings "
                                  "forbid printing, changes and notes)\nok\nok\nok\nok\nok\n"),
              std::string::npos)
        << session.output;
    EXPECT_NE(PageText(File("session.pdf"), 1).find("QM-000001"), std::string::npos);
    EXPECT_EQ(qmtest::readBytes(File("in/locked.pdf")), lockedBytes);
}

}  // namespace
