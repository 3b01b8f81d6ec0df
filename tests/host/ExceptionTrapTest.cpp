// The host's one trap: what it says of each kind of exception, that it
// answers the failure value instead of letting anything pass, the guards of
// the table entries that turn every kind into a host error, and the scope
// guards built on the trap.
#include <gtest/gtest.h>

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFSystemError.hh>

#include <cerrno>
#include <new>
#include <stdexcept>
#include <string>

#include "core/ExceptionTrap.h"
#include "core/Raise.h"
#include "core/ScopeGuard.h"
#include "cos/QpdfGuard.h"
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

// What a guard lets out: the host error's code and text, or "" for a kind
// that should never have passed.
struct Escaped {
    int32_t code = 0;
    std::string text;
};

template <class F>
Escaped escapeOf(F&& guardedCall) {
    try {
        guardedCall();
    } catch (const HostError& e) {
        return {e.code(), e.what()};
    }
    return {};
}

TEST(ExceptionTrap, TableEntryGuardsLetOnlyHostErrorsOut) {
    struct Row {
        const char* name;
        void (*thrower)();
        int32_t code;
        const char* entryText;  // guarded("docOpen", ...)
        const char* cosText;    // cosGuarded("dictGet", the null object, ...)
    };
    const Row rows[] = {
        {"host error", [] { throw HostError(kHostErrFileWrite, "cannot write x.pdf"); }, kHostErrFileWrite,
         "cannot write x.pdf", "cannot write x.pdf"},
        {"no memory", [] { throw std::bad_alloc(); }, kHostErrNoMemory, "docOpen: out of memory",
         "dictGet (a direct object): out of memory"},
        {"standard exception", [] { throw std::runtime_error("broke"); }, kHostErrGeneric, "docOpen: broke",
         "dictGet (a direct object): broke"},
        {"anything else", [] { throw 42; }, kHostErrGeneric, "docOpen: unknown failure",
         "dictGet (a direct object): unknown failure"},
    };
    const std::string nullObject = qmhost::describeObject(CosObj{0, 0});
    for (const Row& row : rows) {
        const Escaped entry = escapeOf([&] { qmhost::guarded("docOpen", row.thrower); });
        EXPECT_EQ(entry.code, row.code) << row.name;
        EXPECT_EQ(entry.text, row.entryText) << row.name;
        EXPECT_EQ(qmhost::lastErrorCode(), row.code) << "recorded as the last error: " << row.name;
        EXPECT_EQ(qmhost::lastErrorMessage(row.code), row.entryText) << row.name;

        const Escaped cos = escapeOf([&] { qmhost::cosGuarded("dictGet", CosObj{0, 0}, row.thrower); });
        EXPECT_EQ(cos.code, row.code) << row.name;
        std::string expected = row.cosText;
        const std::string placeholder = "a direct object";
        if (expected.find(placeholder) != std::string::npos)
            expected.replace(expected.find(placeholder), placeholder.size(), nullObject);
        EXPECT_EQ(cos.text, expected) << row.name;
    }
    EXPECT_EQ(qmhost::guarded("docOpen", [] { return 3; }), 3);
}

TEST(ExceptionTrap, QpdfFailuresBecomeTheirHostCodes) {
    struct Row {
        const char* name;
        void (*thrower)();
        int32_t code;
    };
    const Row rows[] = {
        {"damaged file", [] { throw QPDFExc(qpdf_e_damaged_pdf, "a.pdf", "object 3 0", 120, "bad xref"); },
         kHostErrBadPDF},
        {"password", [] { throw QPDFExc(qpdf_e_password, "a.pdf", "", 0, "invalid password"); }, kHostErrEncrypted},
        {"system error inside qpdf", [] { throw QPDFExc(qpdf_e_system, "a.pdf", "", 0, "read failed"); },
         kHostErrFileRead},
        {"system error", [] { throw QPDFSystemError("open a.pdf", ENOENT); }, kHostErrFileRead},
    };
    for (const Row& row : rows) {
        std::string what;
        try {
            row.thrower();
        } catch (const std::exception& e) {
            what = e.what();
        }
        const Escaped escaped = escapeOf([&] { qmhost::cosGuarded("streamOpen", CosObj{0, 0}, row.thrower); });
        EXPECT_EQ(escaped.code, row.code) << row.name;
        EXPECT_EQ(escaped.text, "streamOpen (" + qmhost::describeObject(CosObj{0, 0}) + "): " + what) << row.name;
    }
}

TEST(ExceptionTrap, ScopeGuardsRunOnTheRoadsTheyAreFor) {
    struct Row {
        const char* name;
        bool bodyThrows;
        bool cleanUpThrows;
        int32_t escaped;  // the code that leaves withCleanUp, 0 for none
        int exitRuns;
        int failureRuns;
    };
    const Row rows[] = {
        {"both run through", false, false, 0, 1, 0},
        {"the body fails", true, false, kHostErrFileRead, 1, 1},
        {"both fail: the body's failure goes on", true, true, kHostErrFileRead, 1, 1},
        {"only the clean-up fails: it reaches the caller", false, true, kHostErrFileWrite, 1, 1},
    };
    for (const Row& row : rows) {
        int exitRuns = 0;
        int failureRuns = 0;
        int cleanUps = 0;
        const Escaped escaped = escapeOf([&] {
            const auto atExit = qmhost::onScopeExit([&] { ++exitRuns; });
            const auto atFailure = qmhost::onFailure([&] {
                ++failureRuns;
                throw std::runtime_error("the roll-back fails too");  // passed over
            });
            const int value = qmhost::withCleanUp(
                [&] {
                    if (row.bodyThrows) throw HostError(kHostErrFileRead, "read");
                    return 5;
                },
                [&] {
                    ++cleanUps;
                    if (row.cleanUpThrows) throw HostError(kHostErrFileWrite, "close");
                });
            EXPECT_EQ(value, 5) << row.name;
        });
        EXPECT_EQ(escaped.code, row.escaped) << row.name;
        EXPECT_EQ(cleanUps, 1) << row.name;
        EXPECT_EQ(exitRuns, row.exitRuns) << row.name;
        EXPECT_EQ(failureRuns, row.failureRuns) << row.name;
    }
}

}  // namespace
