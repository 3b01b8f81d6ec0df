// The host's shared objects opened on first use: found beside the host's
// shared library, refused with a message naming the file when missing,
// incomplete or of another build, and really loaded by the operations that
// need them.
#include <gtest/gtest.h>

#include <string>

#include "common/PdfFixtures.h"

#include "convert/ImageReaderLibrary.h"
#include "core/LazyLibrary.h"
#include "qmhost/HostError.h"
#include "render/DrawingLibrary.h"
#include "sysfont/FontsLibrary.h"

namespace {

// A symbol or the table an entry answers (42 from the test libraries); a file
// that is missing, lacks the entry, answers no table or comes from another build
// is refused as unsupported, naming the file and why.
TEST(LazyLibrary, OpensTheHostsLibrariesAndRefusesWhatIsNotThere) {
    const struct {
        const char* file;
        const char* symbol;
        bool table;           // asked for the table the entry answers
        const char* refusal;  // null: found
        bool namesHostStamp;  // the refusal says the host's own build stamp
    } rows[] = {
        {qmhost::kDrawingLibraryFile, qmhost::kDrawingLibrarySymbol, false, nullptr, false},
        {qmhost::kImageReaderLibraryFile, qmhost::kImageReaderLibrarySymbol, false, nullptr, false},
        {qmhost::kFontsLibraryFile, qmhost::kFontsLibrarySymbol, false, nullptr, false},
        {qmhost::kDrawingLibraryFile, "noSuchEntry", false, "has no noSuchEntry", false},
        {"libqmhostnosuchlibrary.so", "qmhostDrawingLibrary", false, "cannot load", false},
        // Files copied from another build (tests/fakes): refused before their entry is used.
        {"libqmtestotherhost.so", "qmtestEntry", false,
         "belongs to another build of Quillmark (built as 0.0.0+otherhost", true},
        {"libqmtestnostamp.so", "qmtestEntry", false, "belongs to another build of Quillmark (it has no build stamp",
         true},
        {"libqmtestsamehost.so", "qmtestTable", true, nullptr, false},
        {"libqmtestsamehost.so", "qmtestNoTable", true, "gave no table from qmtestNoTable", false},
        {"libqmtestotherhost.so", "qmtestTable", true, "belongs to another build", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + " " + row.symbol);
        try {
            if (row.table) {
                EXPECT_EQ(qmhost::lazyTable<int>(row.file, row.symbol), 42);
            } else {
                EXPECT_NE(qmhost::lazySymbol(row.file, row.symbol), nullptr);
                EXPECT_TRUE(qmhost::isLibraryLoaded(row.file));
                // Beside libqmhostabi, not from wherever the loader's search would find one.
                const std::string maps = qmtest::readBytes("/proc/self/maps");
                const size_t abi = maps.find("/libqmhostabi.so");
                ASSERT_NE(abi, std::string::npos);
                const size_t folder = maps.rfind(' ', abi) + 1;
                EXPECT_NE(maps.find(maps.substr(folder, abi + 1 - folder) + row.file), std::string::npos);
            }
            EXPECT_EQ(row.refusal, nullptr) << "no error";
        } catch (const HostError& error) {
            ASSERT_NE(row.refusal, nullptr) << error.what();
            const std::string message = error.what();
            EXPECT_EQ(error.code(), kHostErrUnsupported);
            EXPECT_NE(message.find(row.file), std::string::npos) << message;
            EXPECT_NE(message.find(row.refusal), std::string::npos) << message;
            EXPECT_EQ(message.find(qmhost::hostBuildStamp()) != std::string::npos, row.namesHostStamp) << message;
        }
    }
    EXPECT_FALSE(qmhost::isLibraryLoaded("libqmhostnosuchlibrary.so"));
}

}  // namespace
