// The one-message error buffer: formatting into it and showing it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "core/Raise.h"
#include "qmhost/HostError.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"

namespace {

using Alerts = std::vector<std::string>;

class ErrorMessage : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
        ClearErrorMessage();
    }
    void TearDown() override { ClearErrorMessage(); }
};

TEST_F(ErrorMessage, EmptyAfterClearAndSecondMessageReplacesFirst) {
    EXPECT_FALSE(HasErrorMessage());
    SetErrorMessage("first message, longer");
    SetErrorMessage(std::string("second"));
    EXPECT_STREQ(GetErrorMessage(), "second");
    ClearErrorMessage();
    EXPECT_FALSE(HasErrorMessage());
}

TEST_F(ErrorMessage, NullTextEmptiesTheBuffer) {
    SetErrorMessage("something");
    SetErrorMessage(static_cast<const char*>(nullptr));
    EXPECT_FALSE(HasErrorMessage());
}

TEST_F(ErrorMessage, ShowErrorMessageShowsTheBufferOnce) {
    SetErrorMessage("无法打开 /tmp/x.pdf");
    ShowErrorMessage();
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"无法打开 /tmp/x.pdf"});
}

TEST_F(ErrorMessage, FormatErrorMessageFormatsTheLoadedString) {
    FormatErrorMessage(202, 1, "印章一");
    EXPECT_STREQ(GetErrorMessage(), "印章一 引用的页面不存在");
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

TEST_F(ErrorMessage, FormatErrorMessageWithoutLoadingLeavesAnEmptyMessage) {
    SetErrorMessage("old");
    FormatErrorMessage(202, 0, "印章一");
    EXPECT_FALSE(HasErrorMessage());
}

TEST_F(ErrorMessage, FormatErrorMessageOfMissingIdIsEmpty) {
    SetErrorMessage("old");
    FormatErrorMessage(14, 1, "x");
    EXPECT_FALSE(HasErrorMessage());
}

TEST_F(ErrorMessage, ShowErrorMessageOrResStringPrefersTheBuffer) {
    SetErrorMessage("the stamp failed");
    ShowErrorMessageOrResString(201, "/tmp/a.pdf");
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"the stamp failed"});
}

TEST_F(ErrorMessage, ShowErrorMessageOrResStringFormatsTheStringWhenBufferIsEmpty) {
    ShowErrorMessageOrResString(201, "/tmp/a.pdf");
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"源文件 /tmp/a.pdf 不存在"});
}

TEST_F(ErrorMessage, MessageHoldingFormatDirectivesIsShownAsText) {
    // A path with "%s" and "%n" in it used as a format would read and write
    // through arguments that are not there.
    SetErrorMessage("cannot open /tmp/100%s%n%d.pdf");
    ShowErrorMessageOrResString(201);
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"cannot open /tmp/100%s%n%d.pdf"});
}

TEST_F(ErrorMessage, FormattedMessageIsCutAtTheCapacityOnACharacterBoundary) {
    std::string name;
    for (int i = 0; i < 500; ++i) name += "章";  // 1500 bytes
    FormatErrorMessage(202, 1, name.c_str());
    const std::string text = GetErrorMessage();
    EXPECT_LE(text.size(), kErrorMessageCapacity);
    EXPECT_EQ(text.size() % 3, 0u);  // only whole three-byte characters
}

TEST_F(ErrorMessage, HostTextCutByTheHostLosesNoHalfCharacter) {
    // The host cuts its text at 1023 bytes; with a one-byte head the cut falls
    // inside the 341st three-byte character.
    std::string text = "x";
    for (int i = 0; i < 400; ++i) text += "错";
    try {
        qmhost::raise(kHostErrGeneric, text);
    } catch (const HostError& error) {
        EXPECT_EQ(TakeHostError(error), static_cast<ErrorCode>(kHostErrGeneric & 0xFFFF));
    }
    const std::string message = GetErrorMessage();
    EXPECT_EQ(message.size(), 1u + 3u * 340u);
    EXPECT_EQ(message, text.substr(0, message.size()));
}

}  // namespace
