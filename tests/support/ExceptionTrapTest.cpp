// The plug-in's one trap: what it says of each kind of exception, the guard
// with its own report and with a reporter of the caller's, the quiet traps, and
// the scope guards built on them.
#include <gtest/gtest.h>

#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "qmhost/HostError.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {

std::string gReported;

void Remember(const char* where) noexcept {
    gReported = std::string(where) + ": " + DescribeCurrentException();
}

TEST(PluginExceptionTrap, DescribesEachKindAndGuardsWithTheCallersReport) {
    struct Row {
        const char* name;
        void (*thrower)();
        const char* description;
    };
    const Row rows[] = {
        {"host error", [] { throw HostError(kHostErrFileWrite, "cannot write x.nxp"); }, "cannot write x.nxp"},
        {"code with a message",
         [] {
             SetErrorMessage("The profile is damaged.");
             ThrowErrorCode(kErrOpenFile);
         },
         "The profile is damaged."},
        {"code alone",
         [] {
             ClearErrorMessage();
             throw static_cast<ErrorCode>(kErrOpenFile);
         },
         nullptr},
        {"standard exception", [] { throw std::runtime_error("no stream"); }, "no stream"},
        {"anything else", [] { throw 3.5; }, ""},
    };
    for (const Row& row : rows) {
        gReported.clear();
        EXPECT_EQ(GuardCallback("BatchWork", -1, [&] { row.thrower(); return 1; }, Remember), -1) << row.name;
        const std::string expected = row.description ? row.description
                                                     : "error " + std::to_string(static_cast<int>(kErrOpenFile));
        EXPECT_EQ(gReported, "BatchWork: " + expected) << row.name;
        EXPECT_FALSE(TrapRun(row.thrower)) << row.name;
        EXPECT_EQ(TrapOr(-2, [&] { row.thrower(); return 1; }), -2) << row.name;
        const std::exception_ptr captured = CaptureFailure(row.thrower);
        EXPECT_TRUE(captured) << row.name;
        EXPECT_EQ(TrapOr(std::string(), [&] { std::rethrow_exception(captured); return std::string("no"); }),
                  std::string()) << "the captured exception is thrown on: " << row.name;
    }
    EXPECT_FALSE(CaptureFailure([] {})) << "nothing escaped";
    EXPECT_EQ(TrapOr(-2, [] { return 5; }), 5);
    ClearErrorMessage();
    EXPECT_TRUE(TrapRun([] {}));
    gReported = "untouched";
    EXPECT_EQ(GuardCallback("BatchWork", -1, [] { return 4; }, Remember), 4);
    EXPECT_EQ(gReported, "untouched");
}

// The host text that TakeHostError puts into the buffer for a code.
std::string HostTextFor(int32_t inCode) {
    char text[kErrorMessageCapacity] = "";
    gAppSupportHFT->getErrorString(inCode, text, sizeof text);
    return text;
}

TEST(PluginExceptionTrap, TheDefaultReportShowsEachKindOnceAndLeavesTheBufferEmpty) {
    qmtest::StartLinkedPlugin();
    qmtest::TakeAlerts();
    using Alerts = std::vector<std::string>;
    struct Row {
        const char* name;
        void (*thrower)();
        Alerts shown;  // empty: the host text of kHostErrFileWrite
        bool bufferKept;
    };
    const Row rows[] = {
        {"code with a message",
         [] {
             SetErrorMessage("The profile is damaged.");
             ThrowErrorCode(kErrOpenFile);
         },
         {"The profile is damaged."}, false},
        {"code alone",
         [] {
             ClearErrorMessage();
             ThrowErrorCode(kErrOpenFile);
         },
         {"Stamping failed (error " + std::to_string(static_cast<int>(kErrOpenFile)) + ")."}, false},
        {"user cancel", [] { ThrowErrorCode(kErrUserCancelled); }, {}, true},
        {"host error", [] { throw HostError(kHostErrFileWrite, "cannot write x.nxp"); }, {}, false},
        {"standard exception", [] { throw std::runtime_error("no stream"); }, {"Stamping failed: no stream"}, false},
        {"anything else", [] { throw 3.5; }, {"Stamping failed."}, false},
    };
    for (const Row& row : rows) {
        SetErrorMessage("left from before");
        const bool cancel = std::string(row.name) == "user cancel";
        EXPECT_EQ(GuardCallback("Stamping", -1, [&] { row.thrower(); return 1; }), -1) << row.name;
        const Alerts expected =
            !row.shown.empty() || cancel ? row.shown : Alerts{HostTextFor(kHostErrFileWrite)};
        EXPECT_EQ(qmtest::TakeAlerts(), expected) << row.name;
        EXPECT_EQ(HasErrorMessage(), row.bufferKept) << row.name;
    }
    ClearErrorMessage();
    int ran = 0;
    GuardCallback("Stamping", [&] { ++ran; });
    EXPECT_EQ(ran, 1);
    EXPECT_TRUE(qmtest::TakeAlerts().empty()) << "a body that runs through shows nothing";
}

TEST(PluginExceptionTrap, CurrentErrorCodeKeepsInHouseCodesAndMapsTheRest) {
    qmtest::StartLinkedPlugin();
    struct Row {
        const char* name;
        void (*thrower)();
        ErrorCode expected;
        bool hostText;
    };
    const Row rows[] = {
        {"in-house code", [] { ThrowErrorCode(kErrOpenFile); }, kErrOpenFile, false},
        {"host error", [] { throw HostError(kHostErrFileWrite, "x"); }, ErrorCode(kHostErrFileWrite & 0xFFFF), true},
        {"standard exception", [] { throw std::runtime_error("x"); }, kErrNoMemory, false},
        {"anything else", [] { throw 'c'; }, kErrNoMemory, false},
    };
    for (const Row& row : rows) {
        ClearErrorMessage();
        const ErrorCode got = TrapFailure(
            [&]() -> ErrorCode {
                row.thrower();
                return 0;
            },
            [] { return CurrentErrorCode(kErrNoMemory); });
        EXPECT_EQ(got, row.expected) << row.name;
        EXPECT_EQ(std::string(GetErrorMessage()), row.hostText ? HostTextFor(kHostErrFileWrite) : std::string())
            << row.name;
    }
    ClearErrorMessage();
}

TEST(PluginScopeGuard, RunsOnTheRoadsItIsFor) {
    struct Row {
        const char* name;
        bool throws;
        int exitRuns;     // OnScopeExit
        int failureRuns;  // OnFailure
    };
    const Row rows[] = {
        {"normal exit", false, 1, 0},
        {"left by an exception", true, 1, 1},
    };
    for (const Row& row : rows) {
        int exitRuns = 0;
        int failureRuns = 0;
        const bool ranThrough = TrapRun([&] {
            const auto atExit = OnScopeExit([&] { ++exitRuns; });
            const auto atFailure = OnFailure([&] {
                ++failureRuns;
                throw std::runtime_error("the clean-up fails too");  // passed over
            });
            if (row.throws) ThrowErrorCode(kErrOpenFile);
        });
        EXPECT_EQ(ranThrough, !row.throws) << row.name;
        EXPECT_EQ(exitRuns, row.exitRuns) << row.name;
        EXPECT_EQ(failureRuns, row.failureRuns) << row.name;
    }
    // A guard made while another exception is on its way (in a destructor
    // that unwinding runs) still tells a normal exit from a failure.
    int inner = 0;
    struct Unwinder {
        int* count;
        ~Unwinder() {
            const auto guard = OnFailure([this] { ++*count; });
        }
    };
    TrapRun([&] {
        const Unwinder unwinder{&inner};
        ThrowErrorCode(kErrOpenFile);
    });
    EXPECT_EQ(inner, 0);
}

TEST(PluginScopeGuard, WithCleanUpLetsTheFirstFailureGoOn) {
    struct Row {
        const char* name;
        bool bodyThrows;
        bool cleanUpThrows;
        ErrorCode expected;  // 0: answers the body's value
    };
    const Row rows[] = {
        {"both run through", false, false, 0},
        {"the body fails", true, false, kErrOpenFile},
        {"both fail: the body's failure goes on", true, true, kErrOpenFile},
        {"only the clean-up fails: it reaches the caller", false, true, kErrNoMemory},
    };
    for (const Row& row : rows) {
        int cleanUps = 0;
        const ErrorCode got = TrapFailure(
            [&]() -> ErrorCode {
                const int value = WithCleanUp(
                    [&] {
                        if (row.bodyThrows) ThrowErrorCode(kErrOpenFile);
                        return 7;
                    },
                    [&] {
                        ++cleanUps;
                        if (row.cleanUpThrows) ThrowErrorCode(kErrNoMemory);
                    });
                EXPECT_EQ(value, 7) << row.name;
                return 0;
            },
            [] { return CurrentErrorCode(kErrCosObject); });
        EXPECT_EQ(got, row.expected) << row.name;
        EXPECT_EQ(cleanUps, 1) << "cleaned up once: " << row.name;
    }
}

}  // namespace
