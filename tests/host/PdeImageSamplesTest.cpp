// Replacing an inline image's samples through "PDFEditWrite": the bytes given
// must be as many as the image's width, height, colours and depth ask for,
// counted without overflow, or nothing changes.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include <qpdf/QPDFObjectHandle.hh>

#include "PdeContentTestSupport.h"
#include "common/HostErrorOf.h"
#include "pde/PdeModel.h"
#include "qmhost/HostError.h"

namespace {

using namespace pdetest;

struct SamplesRow {
    const char* name;
    const char* dict;  // the inline image's dictionary, abbreviated keys as in a content stream
    size_t given;      // bytes of samples handed over
    bool accepted;
};

class PdeImageSamples : public ::testing::TestWithParam<SamplesRow> {};

TEST_P(PdeImageSamples, TakesExactlyTheBytesTheImageAsksFor) {
    const SamplesRow& row = GetParam();
    const std::string before = "old";
    auto image = std::make_shared<qmhost::PdeImage>();
    image->inlineDict = QPDFObjectHandle::parse(row.dict);
    image->inlineData = before;
    const PDEImage handle = qmhost::pdeGiveReference(image);
    const std::string samples(row.given, '\x5a');
    const int32_t code = qmtest::hostErrorOf([&] {
        wr().imageSetData(handle, 0, reinterpret_cast<const uint8_t*>(samples.data()),
                          static_cast<uint32_t>(samples.size()));
    });
    if (row.accepted) {
        EXPECT_EQ(code, 0);
        EXPECT_EQ(image->inlineData, samples);
        ASSERT_EQ(rd().imageGetDataLen(handle), static_cast<int32_t>(samples.size()));
    } else {
        EXPECT_EQ(code, kHostErrBadParameter);
        EXPECT_EQ(image->inlineData, before) << "a refused replacement leaves the samples alone";
    }
    rd().objectRelease(handle);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PdeImageSamples,
    ::testing::Values(
        SamplesRow{"GrayRowsOfWholeBytes", "<< /W 3 /H 2 /BPC 1 /CS /G >>", 2, true},
        SamplesRow{"GrayOneByteShort", "<< /W 3 /H 2 /BPC 1 /CS /G >>", 1, false},
        SamplesRow{"RgbEightBits", "<< /W 2 /H 2 /BPC 8 /CS /RGB >>", 12, true},
        SamplesRow{"RgbOneByteOver", "<< /W 2 /H 2 /BPC 8 /CS /RGB >>", 13, false},
        SamplesRow{"MaskOneBitPerSample", "<< /W 9 /H 3 /IM true >>", 6, true},
        // A row of 2^29 CMYK samples of 16 bits is 2^32 bytes: once counted in
        // an int, it came to none, and empty samples were taken.
        SamplesRow{"RowOfFourGigabytesIsNotEmpty", "<< /W 536870912 /H 1 /BPC 16 /CS /CMYK >>", 0, false},
        SamplesRow{"RowOfFourGigabytesAndEight", "<< /W 536870913 /H 1 /BPC 16 /CS /CMYK >>", 8, false},
        // Width, height and depth at the top of their range overflow any count.
        SamplesRow{"CountBeyondMemory", "<< /W 2147483647 /H 2147483647 /BPC 2147483647 /CS /CMYK >>", 0, false}),
    [](const ::testing::TestParamInfo<SamplesRow>& row) { return std::string(row.param.name); });

}  // namespace
