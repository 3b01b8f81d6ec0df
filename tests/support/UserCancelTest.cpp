#include <gtest/gtest.h>

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

// Testing does not clear the flag; only setting it to false does.
TEST_F(UserCancelTest, ThrowsWhileTheFlagIsSet) {
    EXPECT_FALSE(IsUserCancelled());
    EXPECT_FALSE(ThrowsCancel());
    SetUserCancelled(true);
    EXPECT_TRUE(ThrowsCancel());
    EXPECT_TRUE(ThrowsCancel());
    EXPECT_TRUE(IsUserCancelled());
    SetUserCancelled(false);
    EXPECT_FALSE(IsUserCancelled());
    EXPECT_FALSE(ThrowsCancel());
}

// A click on Cancel that is still waiting in the event queue must count: the
// test runs the installed pump before it answers; without one it answers the
// flag alone (the command-line host has no event loop).
TEST_F(UserCancelTest, IsUserCancelledRunsTheInstalledPumpFirst) {
    static int pumped = 0;
    const struct {
        const char* name;
        MessagePump pump;
        bool cancelled;  // the pump handles a queued click on Cancel
    } rows[] = {
        {"no pump", nullptr, false},
        {"pump with a queued cancel", [] {
             ++pumped;
             SetUserCancelled(true);
         }, true},
        {"pump with nothing queued", [] { ++pumped; }, false},
    };
    for (const auto& row : rows) {
        SetUserCancelled(false);
        pumped = 0;
        SetMessagePump(row.pump);
        EXPECT_EQ(IsUserCancelled(), row.cancelled) << row.name;
        EXPECT_EQ(pumped, row.pump ? 1 : 0) << row.name;
    }
    SetMessagePump(nullptr);
    PumpMessages();
    EXPECT_EQ(pumped, 1) << "a removed pump is not run";
}

}  // namespace
