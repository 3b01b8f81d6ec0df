// The assertion reporter: a failed check of a programming condition shows
// "Assertion '<text>' failed in module: <file> at line: <line>" through the
// host's alert note and throws the error code 1 (kErrAssertion).
#pragma once

// Shows the alert and throws kErrAssertion. Never returns.
[[noreturn]] void ReportAssertion(const char* expression, const char* file, int line);

// Checks cond; on failure reports `text` (the expression text that the alert names).
#define QM_ASSERT_TEXT(cond, text)                                 \
    do {                                                           \
        if (!(cond)) ReportAssertion((text), __FILE__, __LINE__);  \
    } while (0)

// Checks cond and names it as written.
#define QM_ASSERT(cond) QM_ASSERT_TEXT(cond, #cond)
