// Host errors become the plug-in's 16-bit codes with the host's text in the
// error-message buffer.
#include <gtest/gtest.h>

#include <string>

#include "common/PluginFixture.h"
#include "qmhost/HostError.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

TEST(HostFrame, HostErrorBecomesItsLow16BitsWithItsText) {
    qmtest::StartLinkedPlugin();
    ClearErrorMessage();
    try {
        CallHost([] { return gAppSupportHFT->pathFromText(""); });
        FAIL() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, static_cast<ErrorCode>(kHostErrBadParameter & 0xFFFF));
    }
    EXPECT_TRUE(HasErrorMessage());
    EXPECT_STREQ(GetErrorMessage(), "empty path");
}

TEST(HostFrame, OwnCodeReplacesTheHostsButKeepsItsText) {
    qmtest::StartLinkedPlugin();
    ClearErrorMessage();
    try {
        CallHostOr(kErrStream, [] {
            ASPathName path = gAppSupportHFT->pathFromText("/no/such/file");
            return gAppSupportHFT->fileStmOpen(path, kASStmRead);
        });
        FAIL() << "no error";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrStream);
    }
    EXPECT_NE(std::string(GetErrorMessage()).find("/no/such/file"), std::string::npos);
}

TEST(HostFrame, ErrorWhoseLowHalfIsZeroIsStillAFailure) {
    // A failure must never read as success: code 0x00050000 keeps no low bits.
    EXPECT_EQ(TakeHostError(HostError(0x00050000, "odd host failure")), kErrCosObject);
}

TEST(ErrorMessageBuffer, LongMessageIsCutOnACharacterBoundary) {
    std::string text(kErrorMessageCapacity - 1, 'a');
    text += "\xE4\xB8\xAD";  // one three-byte character across the limit
    SetErrorMessage(text.c_str());
    EXPECT_EQ(std::string(GetErrorMessage()).size(), kErrorMessageCapacity - 1);
    SetErrorMessage("second");
    EXPECT_STREQ(GetErrorMessage(), "second");
    ClearErrorMessage();
    EXPECT_FALSE(HasErrorMessage());
}

}  // namespace
