// Shared by the cabinet tests: the "ASExtra" table, the code a call raises, and
// a fixture that checks that a test leaves no cabinet or text behind.
#pragma once

#include <gtest/gtest.h>


#include "HostTables.h"
#include "cabinet/CabinetHandles.h"
#include "common/HostErrorOf.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/HostError.h"

namespace cabtest {

inline const ASExtraTable& X() {
    qmhost::registerHostTables();
    return *qmhost::asExtraTable();
}

using qmtest::hostErrorOf;

class CabinetTest : public ::testing::Test {
protected:
    void SetUp() override {
        mCabinets = qmhost::liveCabinetCount();
        mTexts = qmhost::liveTextCount();
    }
    void TearDown() override {
        EXPECT_EQ(qmhost::liveCabinetCount(), mCabinets) << "a cabinet leaked";
        EXPECT_EQ(qmhost::liveTextCount(), mTexts) << "a text leaked";
    }

private:
    size_t mCabinets = 0;
    size_t mTexts = 0;
};

}  // namespace cabtest
