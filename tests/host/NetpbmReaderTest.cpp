// The netpbm reader that the pixel probes of the tests stand on: P4, P5 and P6
// files with comments in their headers read to the same samples; files that are
// not netpbm or are cut short are refused, never read as a blank image.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "common/Netpbm.h"
#include "common/PdfFixtures.h"

namespace {

using namespace std::string_literals;

TEST(NetpbmReader, ReadsEachKindToTheSameSamples) {
    struct Row {
        const char* name;
        std::string file;
        int components;
    };
    // 3 x 2 pixels: black, white, black / white, white, black.
    const Row rows[] = {
        {"Bitmap", std::string("P4\n# a comment\n3 2\n") + '\xA0' + '\x20', 1},
        {"Gray", std::string("P5 3 2 255\n") + std::string("\x00\xFF\x00\xFF\xFF\x00", 6), 1},
        {"Colour", std::string("P6\n3 2\n# made by hand\n255\n") +
                       std::string("\x00\x00\x00\xFF\xFF\xFF\x00\x00\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00\x00\x00", 18),
         3},
    };
    qmtest::FixtureFolder folder;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = folder.file(row.name);
        qmtest::writeBytes(path, row.file);
        const qmtest::Netpbm image = qmtest::readNetpbm(path);
        EXPECT_EQ(image.width, 3);
        EXPECT_EQ(image.height, 2);
        EXPECT_EQ(image.components, row.components);
        EXPECT_EQ(image.plane(0), std::string("\x00\xFF\x00\xFF\xFF\x00", 6));
        EXPECT_EQ(image.darkPixels(), 3u);
        EXPECT_EQ(image.sample(2, 1, row.components - 1), 0);
        EXPECT_EQ(image.sample(1, 1, row.components - 1), 255);
        EXPECT_EQ(image.sample(3, 0), -1) << "outside the image";
        EXPECT_EQ(image.sample(0, 0, row.components), -1) << "no such component";
    }
}

TEST(NetpbmReader, RefusesWhatIsNotAWholeNetpbmFile) {
    // std::string literals: the samples hold zero bytes that a C string would cut off.
    const std::string files[] = {""s, "%PDF-1.7\n"s, "P5 3 2 65535\n\x00\x01\x00\x01\x00\x01\x00\x01\x00\x01\x00\x01"s,
                                 "P5 -3 2 255\n"s, "P6 3 2 255\nabc"s, "P5 3 2 255\n\x00\x01"s};
    qmtest::FixtureFolder folder;
    for (const std::string& bytes : files) {
        const std::string path = folder.file("bad");
        qmtest::writeBytes(path, bytes);
        EXPECT_THROW(qmtest::readNetpbm(path), std::runtime_error) << '"' << bytes << '"';
    }
    EXPECT_THROW(qmtest::readNetpbm(folder.file("missing")), std::runtime_error);
}

}  // namespace
