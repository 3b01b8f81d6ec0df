// An encrypted input is saved encrypted as it was. One whose encryption
// dictionary lacks /Length (qpdf reads it with the key length its password
// check confirms, but would write it back with none) is refused by every road
// that saves, naming the reason, and no output is written: before, each
// reported success for a file whose every stream decrypted to garbage.
#include <filesystem>
#include <string>

#include "CommandLineFixture.h"

namespace {

namespace fs = std::filesystem;
using clitest::CommandLineTest;

class CommandLineEncryptedSave : public CommandLineTest {
protected:
    void SetUp() override {
        ImportProfile("numbers", clitest::kNumberingProfile);
        fs::create_directories(File("out"));
    }
    std::string Input() const { return File("contract.pdf"); }
    std::string Output() const { return File("out/contract.pdf"); }
    // Stamps the input and saves it to the output by the road named.
    qmtest::CommandResult Save(const std::string& road) const {
        if (road == "stamp") return Cli("stamp --profile numbers " + Q(Input()) + " -o " + Q(Output()));
        if (road == "batch") return Cli("batch --profile numbers --out-dir " + Q(File("out")) + " " + Q(Input()));
        return Session("open " + Input() + "\nstamp numbers\nsave " + Output() + "\n");
    }
};

TEST_F(CommandLineEncryptedSave, EveryRoadSavesItReadableOrRefusesIt) {
    for (const std::string road : {"stamp", "batch", "session"}) {
        for (const bool withoutKeyLength : {false, true}) {
            const std::string what = road + (withoutKeyLength ? ", without /Length" : ", intact");
            fs::remove(Output());
            qmtest::writeOwnerEncryptedPdf(Input(), 2, qmtest::OwnerEncryption::Rc4Key128, withoutKeyLength);
            const auto run = Save(road);
            if (!withoutKeyLength) {
                EXPECT_EQ(run.status, 0) << what << ": " << run.output;
                const auto check = qmtest::qpdfCheck(Output());
                EXPECT_EQ(check.status, 0) << what << ": " << check.output;
                EXPECT_NE(PageText(Output(), 2).find("QM-000002"), std::string::npos) << what;
                continue;
            }
            EXPECT_EQ(run.status, 1) << what << ": " << run.output;
            const std::string reason = "cannot write " + Output() + ": the encryption dictionary of " + Input() +
                                       " has no /Length for its 128-bit key";
            EXPECT_EQ(clitest::CountOf(run.output, reason), 1u) << what << ": " << run.output;
            EXPECT_FALSE(qmtest::fileExists(Output())) << what;
        }
    }
}

}  // namespace
