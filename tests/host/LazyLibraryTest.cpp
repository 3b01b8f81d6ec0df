// The host's shared objects opened on first use: found beside the host's
// shared library, refused with a message naming the file when missing,
// incomplete or of another build, and really loaded by the operations that
// need them.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "convert/ImageReaderLibrary.h"
#include "core/LazyLibrary.h"
#include "qmhost/HostError.h"
#include "render/DrawingLibrary.h"
#include "sysfont/FontsLibrary.h"

namespace {

std::string mappedFiles() {
    std::ifstream maps("/proc/self/maps");
    std::stringstream text;
    text << maps.rdbuf();
    return text.str();
}

// The refusal is unsupported and names the file and why.
void expectRefused(const HostError& error, const char* file, const char* why) {
    EXPECT_EQ(error.code(), kHostErrUnsupported);
    EXPECT_NE(std::string(error.what()).find(file), std::string::npos) << error.what();
    EXPECT_NE(std::string(error.what()).find(why), std::string::npos) << error.what();
}

TEST(LazyLibrary, OpensTheHostsLibrariesAndRefusesWhatIsNotThere) {
    const struct {
        const char* file;
        const char* symbol;
        const char* refusal;  // null: found
        bool namesHostStamp;  // the refusal says the host's own build stamp
    } rows[] = {
        {qmhost::kDrawingLibraryFile, qmhost::kDrawingLibrarySymbol, nullptr, false},
        {qmhost::kImageReaderLibraryFile, qmhost::kImageReaderLibrarySymbol, nullptr, false},
        {qmhost::kFontsLibraryFile, qmhost::kFontsLibrarySymbol, nullptr, false},
        {qmhost::kDrawingLibraryFile, "noSuchEntry", "has no noSuchEntry", false},
        {"libqmhostnosuchlibrary.so", "qmhostDrawingLibrary", "cannot load", false},
        // Files copied from another build (tests/fakes): refused before their entry is used.
        {"libqmtestotherhost.so", "qmtestEntry", "belongs to another build of Quillmark (built as 0.0.0+otherhost",
         true},
        {"libqmtestnostamp.so", "qmtestEntry", "belongs to another build of Quillmark (it has no build stamp", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + " " + row.symbol);
        if (!row.refusal) {
            EXPECT_NE(qmhost::lazySymbol(row.file, row.symbol), nullptr);
            EXPECT_TRUE(qmhost::isLibraryLoaded(row.file));
            // Beside libqmhostabi, not from wherever the loader's search would find one.
            const std::string maps = mappedFiles();
            const size_t abi = maps.find("/libqmhostabi.so");
            ASSERT_NE(abi, std::string::npos);
            const size_t folder = maps.rfind(' ', abi) + 1;
            EXPECT_NE(maps.find(maps.substr(folder, abi + 1 - folder) + row.file), std::string::npos);
            continue;
        }
        try {
            qmhost::lazySymbol(row.file, row.symbol);
            ADD_FAILURE() << "no error";
        } catch (const HostError& error) {
            expectRefused(error, row.file, row.refusal);
            EXPECT_EQ(std::string(error.what()).find(qmhost::hostBuildStamp()) != std::string::npos,
                      row.namesHostStamp)
                << error.what();
        }
        EXPECT_FALSE(qmhost::isLibraryLoaded("libqmhostnosuchlibrary.so"));
    }
}

// A library's entry answers the table it keeps; one that answers none, or a
// library of another build, is refused naming the file.
TEST(LazyLibrary, TakesTheTableAnEntryAnswers) {
    const struct {
        const char* file;
        const char* symbol;
        const char* refusal;  // null: the table (42) is answered
    } rows[] = {
        {"libqmtestsamehost.so", "qmtestTable", nullptr},
        {"libqmtestsamehost.so", "qmtestNoTable", "gave no table from qmtestNoTable"},
        {"libqmtestotherhost.so", "qmtestTable", "belongs to another build"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + " " + row.symbol);
        try {
            const int& table = qmhost::lazyTable<int>(row.file, row.symbol);
            EXPECT_EQ(row.refusal, nullptr) << "no error";
            EXPECT_EQ(table, 42);
        } catch (const HostError& error) {
            ASSERT_NE(row.refusal, nullptr) << error.what();
            expectRefused(error, row.file, row.refusal);
        }
    }
}

}  // namespace
