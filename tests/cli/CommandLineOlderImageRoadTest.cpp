// The image road of an older host (--host-version 5), where the plug-in reads
// JPEG and TIFF files itself: it takes the JPEGs and TIFFs libjpeg and libtiff
// read, whatever their first segment or byte order, and a file it refuses is
// refused for what it is, not called damaged.
#include "CommandLineFixture.h"

#include <string>
#include <vector>

#include "host/ImageTestFiles.h"

namespace {

using clitest::CommandLineTest;
using clitest::SplitResult;

std::string ImageProfile(const std::string& path) {
    return R"({"kNumberOfStamps": 1, "kStamp0": {"kStampType": 1, "kStampNameE": "Img", "kSelectFileE": ")" + path +
           R"(", "kSizeS": 100, "kOpacityS": 100, "kOverlay": true}})";
}

// The JPEG without its first (JFIF) segment, so that a table comes first;
// with exif, an Exif segment (as cameras write first) in its place.
std::string JpegWithoutJfif(const std::string& exif) {
    const std::string jpeg = imagetest::encodeJpeg(imagetest::gradient(16, 8, 3));
    const size_t jfifEnd = 4 + size_t{static_cast<unsigned char>(jpeg[4])} * 256 + static_cast<unsigned char>(jpeg[5]);
    std::string segment;
    if (!exif.empty()) {
        const size_t length = exif.size() + 2;
        segment = std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + exif;
    }
    return jpeg.substr(0, 2) + segment + jpeg.substr(jfifEnd);
}

const std::string kExif = std::string("Exif\0\0MM\0*\0\0\0\x08\0\0\0\0\0\0", 20);

class CommandLineOlderImageRoad : public CommandLineTest {
protected:
    void SetUp() override { qmtest::writeSimplePdf(File("in.pdf"), 1); }
    SplitResult StampWith(const std::string& image, int hostVersion, const std::string& output) {
        const std::string profile = "Img" + std::to_string(++mProfiles);
        ImportProfile(profile, ImageProfile(image));
        return CliSplit("--host-version " + std::to_string(hostVersion) + " stamp --profile " + profile + " " +
                        Q(File("in.pdf")) + " -o " + Q(output));
    }
    int mProfiles = 0;
};

TEST_F(CommandLineOlderImageRoad, ReadsExifAndTableFirstJpegsAndBigEndianTiffs) {
    imagetest::TiffLayout bigEndian;
    bigEndian.bigEndian = true;
    const struct {
        const char* name;
        std::string file;
    } rows[] = {{"exif.jpg", JpegWithoutJfif(kExif)}, {"table.jpg", JpegWithoutJfif("")}, {"big.tif", ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path = File(row.name);
        if (row.file.empty())
            imagetest::writeTiff(path, 16, 8, bigEndian, imagetest::gradient(16, 8, 3).bytes);
        else
            qmtest::writeBytes(path, row.file);
        const std::string output = File(std::string(row.name) + ".pdf");
        const SplitResult run = StampWith(path, 5, output);
        ASSERT_EQ(run.status, 0) << run.err;
        const std::vector<imagetest::ListedImage> images = imagetest::listImages(output);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].width, 16);
        EXPECT_EQ(images[0].height, 8);
        EXPECT_EQ(images[0].color, "rgb");
    }
}

TEST_F(CommandLineOlderImageRoad, RefusalsSayWhatIsNotReadAndWhereItIs) {
    imagetest::TiffLayout cmyk16;
    cmyk16.photometric = 5;
    cmyk16.samplesPerPixel = 4;
    cmyk16.bitsPerSample = 16;
    imagetest::writeTiff(File("cmyk16.tif"), 4, 4, cmyk16, std::string(4 * 4 * 8, '\x40'));
    qmtest::writeBytes(File("logo.png"), imagetest::encodeWithQt(4, 4, std::string(4 * 4 * 4, '\x7F'), "PNG"));
    const struct {
        const char* file;
        int hostVersion;
        const char* said;
    } rows[] = {
        {"cmyk16.tif", 5, "TIFF images with 16 bits per sample are not read"},
        {"cmyk16.tif", 8, "CMYK TIFF images with 16 bits per sample are not read"},
        {"logo.png", 5, "PNG images are read by hosts of version 6 and later"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.file) + " on host " + std::to_string(row.hostVersion));
        const SplitResult run = StampWith(File(row.file), row.hostVersion, File("out.pdf"));
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("创建图像 " + File(row.file) + " 出错"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(row.said), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("damaged"), std::string::npos) << run.err;
    }
}

}  // namespace
