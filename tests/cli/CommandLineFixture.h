// Runs the built `quillmark` program (QM_TEST_CLI_PATH) with a fresh plug-ins
// folder per test, so that the user's own folder is never touched, and reads
// its outputs back with independent tools (pdftotext, pdftoppm, qpdf).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "cabinet/Cabinet.h"
#include "cli/ProfileStore.h"
#include "common/PdfFixtures.h"

namespace clitest {

// A profile of three text stamps: a Bates number "QM-$BatesNo[1]", a footer
// "Page $PageNo[1] of $TotalPages" and the file name "$FileName".
inline const char* const kNumberingProfile = R"({
  "kNumberOfStamps": 3,
  "kStamp0": {"kStampNameE": "Bates", "kTextE": "QM-$BatesNo[1]", "kSizeE": 11, "kOpacityS": 100,
              "kOverlay": true, "kColorFontC": 0, "kHorizontalC": 1, "kHorizontalS": 0.5,
              "kVerticalS": 0.5},
  "kStamp1": {"kStampNameE": "Footer", "kTextE": "Page $PageNo[1] of $TotalPages", "kSizeE": 10,
              "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, "kHorizontalC": 2,
              "kVerticalC": 1, "kVerticalS": 0.5},
  "kStamp2": {"kStampNameE": "File", "kTextE": "File $FileName", "kSizeE": 9, "kOpacityS": 100,
              "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 0.5, "kVerticalS": 0.5}
})";

// A text stamp (a Bates number "QM-$BatesNo[1]") and page 1 of the PDF file
// logo on every page.
inline std::string MixedProfile(const std::string& logo) {
    return R"({"kNumberOfStamps": 2,
  "kStamp0": {"kStampType": 0, "kStampNameE": "Bates", "kTextE": "QM-$BatesNo[1]", "kSizeE": 11,
              "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 0.5, "kVerticalS": 0.5},
  "kStamp1": {"kStampType": 2, "kStampNameE": "Logo", "kSelectFileE": ")" +
           logo + R"(", "kPageNoS": 1, "kSizeS": 20,
              "kOpacityS": 100, "kOverlay": true, "kHorizontalS": 3, "kVerticalS": 3}})";
}

// How often what stands in text.
inline size_t CountOf(const std::string& text, const std::string& what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

struct SplitResult {
    int status = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

class CommandLineTest : public ::testing::Test {
protected:
    // `quillmark --plugin-dir <plugins> ARGS` (ARGS as shell text); output is
    // standard output and standard error together.
    qmtest::CommandResult Cli(const std::string& args) const {
        return qmtest::runCommand(Program() + " " + args);
    }
    // The same, with standard output and standard error apart.
    SplitResult CliSplit(const std::string& args) const {
        const std::string err = mWork.file("stderr.txt");
        const qmtest::CommandResult run =
            qmtest::runCommand("{ " + Program() + " " + args + " 2>" + qmtest::shellQuote(err) + "; }");
        return {run.status, run.output, qmtest::readBytes(err)};
    }
    // Runs a session with the lines as its standard input.
    qmtest::CommandResult Session(const std::string& lines) const {
        const std::string input = mWork.file("session.txt");
        qmtest::writeBytes(input, lines);
        return qmtest::runCommand(Program() + " session < " + qmtest::shellQuote(input));
    }
    // Imports the JSON text as the profile `name`; fails the test when refused.
    void ImportProfile(const std::string& name, const std::string& json) const {
        const std::string file = mWork.file(name + "-profile.json");
        qmtest::writeBytes(file, json);
        const auto run = Cli("profile import " + Q(file) + " --name " + Q(name));
        ASSERT_EQ(run.status, 0) << run.output;
    }
    // Stores the profile `name` as another program may have written it, past
    // the checks of an import: one text stamp named and showing text, with the
    // opacity and the integer key given.
    void StoreTextProfile(const std::string& name, const std::string& text, int32_t opacity,
                          const char* key = nullptr, int32_t value = 0) const {
        qmhost::Cabinet profile;
        profile.put("kNumberOfStamps", int32_t{1});
        auto stamp = std::make_unique<qmhost::Cabinet>();
        stamp->put("kStampNameE", qmhost::StringValue{text});
        stamp->put("kTextE", qmhost::StringValue{text});
        stamp->put("kOpacityS", opacity);
        if (key) stamp->put(key, value);
        profile.put("kStamp0", std::move(stamp));
        std::string error;
        ASSERT_TRUE(qmcli::ProfileStore(mPlugins).write(name, profile, true, &error)) << error;
    }
    std::string File(const std::string& name) const { return mWork.file(name); }
    const std::string& Plugins() const { return mPlugins; }
    static std::string Q(const std::string& text) { return qmtest::shellQuote(text); }

    // The text of one page (1-based) as pdftotext reads it.
    static std::string PageText(const std::string& pdf, int page) {
        const std::string n = std::to_string(page);
        return qmtest::runCommand("pdftotext -f " + n + " -l " + n + " " + Q(pdf) + " -").output;
    }
    static std::string AllText(const std::string& pdf) {
        return qmtest::runCommand("pdftotext -layout " + Q(pdf) + " -").output;
    }
    // The pages drawn at 30 dpi, as one byte string (for comparing what is seen).
    std::string Rendering(const std::string& pdf) const {
        const std::string prefix = mWork.file("render");
        qmtest::runCommand("rm -f " + Q(prefix) + "-*.pgm; pdftoppm -r 30 -gray " + Q(pdf) + " " + Q(prefix));
        return qmtest::runCommand("cat " + Q(prefix) + "-*.pgm").output;
    }

private:
    std::string Program() const { return Q(QM_TEST_CLI_PATH) + " --plugin-dir " + Q(mPlugins); }

    qmtest::FixtureFolder mWork;
    std::string mPlugins = mWork.file("plugins");
};

}  // namespace clitest
