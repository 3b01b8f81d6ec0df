#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QMetaObject>
#include <memory>

#include "support/ErrorCode.h"
#include "support/io/UserCancel.h"

namespace {

class UserCancelTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserCancelled(false); }
    void TearDown() override { SetUserCancelled(false); }
};

bool ThrowsCancel() {
    try {
        ThrowIfUserCancelled();
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrUserCancelled);
        return true;
    }
    return false;
}

TEST_F(UserCancelTest, ThrowsOnlyAfterTheFlagIsSet) {
    EXPECT_FALSE(IsUserCancelled());
    EXPECT_FALSE(ThrowsCancel());
    SetUserCancelled(true);
    EXPECT_TRUE(IsUserCancelled());
    EXPECT_TRUE(ThrowsCancel());
}

TEST_F(UserCancelTest, FlagStaysSetUntilSetToFalse) {
    SetUserCancelled(true);
    EXPECT_TRUE(ThrowsCancel());
    EXPECT_TRUE(ThrowsCancel());  // testing does not clear it
    EXPECT_TRUE(IsUserCancelled());
    SetUserCancelled(false);
    EXPECT_FALSE(IsUserCancelled());
    EXPECT_FALSE(ThrowsCancel());
}

// A click on Cancel that is still waiting in the event queue must count: the
// test handles pending events before it answers.
TEST_F(UserCancelTest, IsUserCancelledHandlesAQueuedCancelFirst) {
    std::unique_ptr<QCoreApplication> owned;
    static int argc = 1;
    static char name[] = "support_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) owned = std::make_unique<QCoreApplication>(argc, argv);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { SetUserCancelled(true); }, Qt::QueuedConnection);
    EXPECT_TRUE(IsUserCancelled());
}

}  // namespace
