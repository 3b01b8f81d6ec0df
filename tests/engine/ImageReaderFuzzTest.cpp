// Deterministic mutations and truncations of valid JPEG and TIFF files fed to
// the image types: each must end in an image XObject or in an in-house error
// with a message, never in a crash, a hang or another kind of exception.
// Replayed in every run (the sanitizers are on in the test build).
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "ImageTypeTestSupport.h"
#include "engine/CJPEGImageType.h"
#include "engine/CTIFFImageType.h"

using namespace imagetest;

namespace {

// Changes bytes of a file the way damaged files look: flipped bits, bytes set
// to 00 or FF, runs overwritten with large values, cut files, duplicated
// pieces. Uses the engine's raw output only (the distributions of the
// standard library differ between implementations).
class Mutator {
public:
    explicit Mutator(uint32_t seed) : mEngine(seed) {}
    std::vector<uint8_t> Mutate(std::vector<uint8_t> bytes) {
        const uint32_t edits = 1 + Below(4);
        for (uint32_t e = 0; e < edits && !bytes.empty(); ++e) {
            const size_t at = Below(uint32_t(bytes.size()));
            switch (Below(6)) {
                case 0: bytes[at] ^= uint8_t(1u << Below(8)); break;
                case 1: bytes[at] = Below(2) ? 0xFF : 0x00; break;
                case 2: bytes[at] = uint8_t(mEngine()); break;
                case 3:
                    for (size_t i = at; i < std::min(bytes.size(), at + 4); ++i) bytes[i] = 0xFF;
                    break;
                case 4: bytes.resize(at); break;
                case 5: {
                    const size_t length = std::min<size_t>(1 + Below(32), bytes.size() - at);
                    const std::vector<uint8_t> piece(bytes.begin() + long(at),
                                                     bytes.begin() + long(at + length));
                    bytes.insert(bytes.begin() + long(Below(uint32_t(bytes.size()))), piece.begin(),
                                 piece.end());
                    break;
                }
            }
        }
        return bytes;
    }

private:
    uint32_t Below(uint32_t n) { return n == 0 ? 0 : uint32_t(mEngine() % n); }
    std::mt19937 mEngine;
};

enum class Kind { Jpeg, Tiff };

struct Outcome {
    int made = 0;
    int refused = 0;
};

class ImageReaderFuzz : public testing::Test {
protected:
    void SetUp() override { enginetest::StartEngine(); }

    // Feeds one file to the type of its kind through MakeImageXObject (and
    // the header readers) and checks the outcome.
    void Feed(Kind kind, const std::vector<uint8_t>& bytes, BlankDocument& doc, Outcome& outcome,
              const std::string& label) {
        const std::string path = mFolder.file("fuzz.bin");
        WriteBytes(path, bytes);
        qmtest::TakeAlerts();
        ClearErrorMessage();
        auto stream = StreamOn(path);
        std::unique_ptr<CImageType> type;
        if (kind == Kind::Jpeg) {
            type = std::make_unique<CJPEGImageType>(stream.get());
        } else {
            type = std::make_unique<CTIFFImageType>(stream.get());
        }
        try {
            const CosObj image = type->MakeImageXObject(doc.pd(), kImageFilterFlate, nullptr);
            ASSERT_NE(gCosHFT->objGetType(image), CosNull) << label;
            // A made image holds every sample its dictionary promises.
            const int64_t width = IntAt(image, "Width"), height = IntAt(image, "Height");
            const int64_t bits = IntAt(image, "BitsPerComponent");
            ASSERT_GT(width, 0) << label;
            ASSERT_GT(height, 0) << label;
            ASSERT_EQ(type->GetWidth(), width) << label;
            const std::string space = NameAt(image, "ColorSpace");
            const int64_t components = space == "DeviceRGB" ? 3 : space == "DeviceCMYK" ? 4 : 1;
            const size_t rowBytes = size_t((width * components * bits + 7) / 8);
            ASSERT_EQ(enginetest::StreamData(image).size(), rowBytes * size_t(height)) << label;
            ++outcome.made;
        } catch (ErrorCode) {
            // An error always comes with a message.
            const bool told = !qmtest::TakeAlerts().empty() || HasErrorMessage();
            EXPECT_TRUE(told) << label << ": refused without a message";
            ++outcome.refused;
        } catch (const std::exception& e) {
            // Anything else fails the test where the test framework catches it.
            ADD_FAILURE() << label << ": unexpected exception " << e.what();
        }
    }

    Outcome Run(Kind kind, const std::vector<uint8_t>& valid, uint32_t seed, int rounds) {
        Outcome outcome;
        Mutator mutator(seed);
        std::unique_ptr<BlankDocument> doc;
        for (int round = 0; round < rounds; ++round) {
            // A fresh document now and then keeps the made objects few.
            if (round % 100 == 0) doc = std::make_unique<BlankDocument>();
            Feed(kind, mutator.Mutate(valid), *doc, outcome,
                 "seed " + std::to_string(seed) + " round " + std::to_string(round));
            if (HasFatalFailure()) break;
        }
        return outcome;
    }

    // Every cut of the file from the start: each length once.
    Outcome Truncations(Kind kind, const std::vector<uint8_t>& valid, size_t step) {
        Outcome outcome;
        BlankDocument doc;
        for (size_t length = 0; length < valid.size(); length += step)
            Feed(kind, std::vector<uint8_t>(valid.begin(), valid.begin() + long(length)), doc,
                 outcome, "cut at " + std::to_string(length));
        return outcome;
    }

    qmtest::FixtureFolder mFolder;
};

TEST_F(ImageReaderFuzz, MutatedJpegFilesEndInAnImageOrAnErrorWithAMessage) {
    const Outcome gray = Run(Kind::Jpeg, JpegBytes(JpegColor::Gray, 24, 16), 11, 1500);
    const Outcome rgb = Run(Kind::Jpeg, JpegBytes(JpegColor::RGB, 20, 12), 12, 1500);
    const Outcome cmyk = Run(Kind::Jpeg, JpegBytes(JpegColor::CMYKApp14, 9, 9), 13, 1000);
    // Both ends are reached, so the mutations neither all break nor all miss.
    EXPECT_GT(gray.made + rgb.made + cmyk.made, 200);
    EXPECT_GT(gray.refused + rgb.refused + cmyk.refused, 200);
}

TEST_F(ImageReaderFuzz, TruncatedJpegFilesEndInAnImageOrAnErrorWithAMessage) {
    const Outcome outcome = Truncations(Kind::Jpeg, JpegBytes(JpegColor::RGB, 16, 16), 1);
    EXPECT_GT(outcome.made, 0) << "a cut after the header still decodes";
    EXPECT_GT(outcome.refused, 0);
}

TEST_F(ImageReaderFuzz, MutatedTiffFilesEndInAnImageOrAnErrorWithAMessage) {
    TiffSpec lzwPalette = TiffSpecFor(TiffColor::Palette, 12, 10, 3);
    lzwPalette.compression = 5;
    TiffSpec packBitsGray = TiffSpecFor(TiffColor::Gray, 17, 9, 2);
    packBitsGray.compression = 32773;
    TiffSpec deflateCmyk = TiffSpecFor(TiffColor::CMYK, 8, 8, 3);
    deflateCmyk.compression = 8;
    Outcome total;
    for (const auto& [spec, seed] :
         {std::pair{TiffSpecFor(TiffColor::RGB, 10, 9, 4), 21u}, std::pair{lzwPalette, 22u},
          std::pair{packBitsGray, 23u}, std::pair{deflateCmyk, 24u},
          std::pair{TiffSpecFor(TiffColor::WhiteIsZero, 9, 7, 7), 25u}}) {
        const Outcome outcome = Run(Kind::Tiff, TiffBytes(spec), seed, 800);
        total.made += outcome.made;
        total.refused += outcome.refused;
    }
    EXPECT_GT(total.made, 200);
    EXPECT_GT(total.refused, 200);
}

TEST_F(ImageReaderFuzz, TruncatedTiffFilesEndInAnImageOrAnErrorWithAMessage) {
    TiffSpec spec = TiffSpecFor(TiffColor::RGB, 10, 10, 3);
    spec.compression = 5;
    const Outcome outcome = Truncations(Kind::Tiff, TiffBytes(spec), 1);
    EXPECT_GT(outcome.refused, 0);
}

}  // namespace
