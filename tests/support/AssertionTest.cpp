// A failed assertion shows one host alert naming the expression, file and line
// and throws code 1.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "support/Assertion.h"
#include "support/ErrorCode.h"

namespace {

class AssertionTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        qmtest::TakeAlerts();
    }
};

TEST_F(AssertionTest, ReportShowsTheFormatAndThrowsOne) {
    try {
        ReportAssertion("mUndoStack != NULL", "CUndoManager.cpp", 42);
        FAIL() << "returned";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    EXPECT_EQ(qmtest::TakeAlerts(),
              std::vector<std::string>{
                  "Assertion 'mUndoStack != NULL' failed in module: CUndoManager.cpp at line: 42"});
}

TEST_F(AssertionTest, MacroNamesTheGivenTextTheFileAndTheLine) {
    const int line = __LINE__ + 2;
    try {
        QM_ASSERT_TEXT(1 + 1 == 3, "CosObjGetType(inCosDict) == CosDict");
        FAIL() << "passed";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "Assertion 'CosObjGetType(inCosDict) == CosDict' failed in module: " +
                             std::string(__FILE__) + " at line: " + std::to_string(line));
}

TEST_F(AssertionTest, PassingConditionShowsNothing) {
    int evaluated = 0;
    QM_ASSERT(++evaluated == 1);
    EXPECT_EQ(evaluated, 1);
    EXPECT_TRUE(qmtest::TakeAlerts().empty());
}

TEST_F(AssertionTest, PlainMacroNamesTheExpressionAsWritten) {
    const void* mStream = nullptr;
    EXPECT_THROW(QM_ASSERT(mStream != nullptr), ErrorCode);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("'mStream != nullptr'"), std::string::npos);
}

TEST_F(AssertionTest, LongExpressionIsCutToTheAlertBuffer) {
    const std::string expression(1000, 'x');
    EXPECT_THROW(ReportAssertion(expression.c_str(), "f.cpp", 1), ErrorCode);
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].size(), 511u);
}

}  // namespace
