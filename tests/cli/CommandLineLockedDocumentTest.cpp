// A document whose security settings forbid printing, changes or notes is not
// stamped, on every road, and the refusal says which; one opened with its
// owner password (here the empty one) keeps every right and is stamped.
#include "CommandLineFixture.h"

#include <filesystem>

namespace {

using clitest::CommandLineTest;
using clitest::SplitResult;

class CommandLineLockedDocument : public CommandLineTest {
protected:
    void SetUp() override {
        std::filesystem::create_directories(File("in"));
        qmtest::writeSimplePdf(File("in/plain.pdf"), 2);
        ImportProfile("numbers", clitest::kNumberingProfile);
    }
    // A copy of plain.pdf encrypted with these passwords and qpdf's restrictions.
    void Lock(const std::string& name, const std::string& owner, const std::string& restrictions) const {
        ASSERT_EQ(qmtest::runCommand("qpdf --encrypt '' " + Q(owner) + " 256 " + restrictions + " -- " +
                                     Q(File("in/plain.pdf")) + " " + Q(File("in/" + name)))
                      .status,
                  0);
    }
};

// The batch command stamped such documents, where `stamp` and `session`
// refused them.
TEST_F(CommandLineLockedDocument, EveryRoadRefusesItWithTheReasonAndABatchGoesOnWithTheOthers) {
    Lock("noprint.pdf", "owner", "--print=none");
    Lock("locked.pdf", "owner", "--print=none --modify=none");
    Lock("ownerless.pdf", "", "--print=none --modify=none");
    const std::string lockedBytes = qmtest::readBytes(File("in/locked.pdf"));

    const SplitResult batch =
        CliSplit("batch --profile numbers --out-dir " + Q(File("out")) + " " + Q(File("in/plain.pdf")) + " " +
                 Q(File("in/noprint.pdf")) + " " + Q(File("in/locked.pdf")) + " " + Q(File("in/ownerless.pdf")));
    EXPECT_EQ(batch.status, 1) << batch.err;
    EXPECT_EQ(batch.out, File("out/plain.pdf") + "\n" + File("out/ownerless.pdf") + "\n") << batch.err;
    for (const auto& [file, reason] :
         {std::pair{"noprint.pdf", "the document may not be stamped (its security settings forbid printing)"},
          std::pair{"locked.pdf",
                    "the document may not be stamped (its security settings forbid printing, "
                    "changes and notes)"}}) {
        EXPECT_NE(batch.err.find(std::string(file) + ": error: " + reason), std::string::npos) << batch.err;
        EXPECT_FALSE(qmtest::fileExists(File(std::string("out/") + file))) << file;
    }
    // The refused files take no Bates numbers.
    EXPECT_NE(PageText(File("out/ownerless.pdf"), 2).find("QM-000004"), std::string::npos)
        << PageText(File("out/ownerless.pdf"), 2);

    const qmtest::CommandResult session =
        Session("open " + File("in/locked.pdf") + "\nstamp numbers\nclose\nopen " + File("in/ownerless.pdf") +
                "\nstamp numbers\nsave " + File("session.pdf") + "\nquit\n");
    EXPECT_EQ(session.status, 1) << session.output;
    EXPECT_NE(session.output.find("error: the document may not be stamped with \"numbers\" (its security settings "
                                  "forbid printing, changes and notes)\n"
                                  "ok\nok\nok\nok\nok\n"),
              std::string::npos)
        << session.output;
    EXPECT_NE(PageText(File("session.pdf"), 1).find("QM-000001"), std::string::npos);
    EXPECT_EQ(qmtest::readBytes(File("in/locked.pdf")), lockedBytes);
}

}  // namespace
