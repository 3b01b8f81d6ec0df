// The plug-in's one trap: what it says of each kind of exception, the guard
// with a reporter of the caller's, and the trap for clean-ups.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "qmhost/HostError.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"

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
    }
    ClearErrorMessage();
    EXPECT_TRUE(TrapRun([] {}));
    gReported = "untouched";
    EXPECT_EQ(GuardCallback("BatchWork", -1, [] { return 4; }, Remember), 4);
    EXPECT_EQ(gReported, "untouched");
}

}  // namespace
