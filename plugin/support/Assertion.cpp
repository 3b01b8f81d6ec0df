#include "support/Assertion.h"

#include <cstdio>

#include "qmhost/HostError.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

void ReportAssertion(const char* expression, const char* file, int line) {
    char text[512];
    FormatBounded(text, sizeof text, "Assertion '%s' failed in module: %s at line: %d",
                  expression ? expression : "", file ? file : "", line);
    // Always the host's note: an assertion must be seen even where a message box
    // owner would be set.
    if (gAppViewHFT && gAppViewHFT->alertNote) {
        try {
            gAppViewHFT->alertNote(text);
        } catch (const HostError&) {
        }
    } else {
        std::fprintf(stderr, "%s\n", text);
    }
    ThrowErrorCode(kErrAssertion);
}
