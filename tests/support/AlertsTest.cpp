// Alerts go to the host's alert note, formatted with bounds.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "support/Alerts.h"
#include "support/ResourceStrings.h"

namespace {

using Alerts = std::vector<std::string>;

class AlertsTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
    }
};

TEST_F(AlertsTest, WithoutOwnerEveryAlertGoesToTheHost) {
    EXPECT_EQ(GetAlertOwner(), nullptr);
    ShowAlert("one");
    Alert("%s-%d", "two", 2);
    AlertResString(209);
    EXPECT_EQ(qmtest::TakeAlerts(), (Alerts{"one", "two-2", "进程被用户停止"}));
}

TEST_F(AlertsTest, OwnerSetStillReachesTheHost) {
    int window = 0;
    SetAlertOwner(&window);
    EXPECT_EQ(GetAlertOwner(), &window);
    ShowAlert("owned");
    SetAlertOwner(nullptr);
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"owned"});
}

TEST_F(AlertsTest, ShowAlertDoesNotFormat) {
    ShowAlert("100% %s");
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"100% %s"});
}

TEST_F(AlertsTest, ResStringIsFormattedWithTheArguments) {
    AlertResString(213, "Helvetica");
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"创建标准字体 Helvetica 出错"});
}

TEST_F(AlertsTest, MissingResStringShowsAnEmptyAlert) {
    AlertResString(14, "x");
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{""});
}

TEST_F(AlertsTest, PascalStringUsesItsLengthByte) {
    const unsigned char text[] = "\x05" "page %d and more";
    AlertPascalString(text, 3);
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"page "});
    const unsigned char withFormat[] = "\x07" "page %d";
    AlertPascalString(withFormat, 3);
    EXPECT_EQ(qmtest::TakeAlerts(), Alerts{"page 3"});
}

TEST_F(AlertsTest, LongAlertIsCutToTheFormatBuffer) {
    const std::string text(3000, 'a');
    Alert("%s", text.c_str());
    const Alerts shown = qmtest::TakeAlerts();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].size(), kResStringCapacity - 1);
}

}  // namespace
