// The host's one trap: what it says of each kind of exception, and that it
// answers the failure value instead of letting anything pass.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "core/ExceptionTrap.h"
#include "qmhost/HostError.h"

namespace {

TEST(ExceptionTrap, DescribesEachKindAndAnswersTheFailureValue) {
    struct Row {
        const char* name;
        void (*thrower)();
        const char* description;
    };
    const Row rows[] = {
        {"host error", [] { throw HostError(kHostErrFileWrite, "cannot write x.pdf: disk full"); },
         "cannot write x.pdf: disk full"},
        {"standard exception", [] { throw std::runtime_error("the plug-in broke"); }, "the plug-in broke"},
        {"no memory", [] { throw std::bad_alloc(); }, "std::bad_alloc"},
        {"anything else", [] { throw 42; }, "an exception of an unknown kind"},
    };
    for (const Row& row : rows) {
        std::string why = "unchanged";
        EXPECT_EQ(qmhost::trapped(-1, [&] { row.thrower(); return 1; }, &why), -1) << row.name;
        EXPECT_EQ(why, row.description) << row.name;
        why.clear();
        EXPECT_FALSE(qmhost::trappedRun(row.thrower, &why)) << row.name;
        EXPECT_EQ(why, row.description) << row.name;
        EXPECT_FALSE(qmhost::trappedRun(row.thrower)) << "without a place for the text: " << row.name;
    }
    std::string why = "unchanged";
    EXPECT_EQ(qmhost::trapped(-1, [] { return 7; }, &why), 7);
    EXPECT_TRUE(qmhost::trappedRun([] {}, &why));
    EXPECT_EQ(why, "unchanged") << "a body that runs through leaves the text alone";
}

}  // namespace
