#include "support/CallbackGuard.h"

#include <exception>
#include <string>

#include "qmhost/HostError.h"
#include "support/Alerts.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/HostFrame.h"

void ReportCallbackFailure(const char* where) noexcept {
    const char* place = where ? where : "a command";
    bool cancelled = false;
    // Showing the report may fail too; the host must still not see an exception.
    TrapRun([&] {
        try {
            throw;
        } catch (ErrorCode code) {
            cancelled = code == kErrUserCancelled;  // the user asked to stop: nothing to tell
            if (cancelled) return;
            if (HasErrorMessage())
                ShowErrorMessage();
            else
                Alert("%s failed (error %d).", place, static_cast<int>(code));
        } catch (const HostError& error) {
            TakeHostError(error);
            ShowErrorMessage();
        } catch (const std::exception& error) {
            Alert("%s failed: %s", place, error.what());
        } catch (...) {
            Alert("%s failed.", place);
        }
    });
    // The message has reached the user: a later failure without a text of its
    // own must not show this one again.
    if (!cancelled) ClearErrorMessage();
}

std::string DescribeCurrentException(int32_t* outHostCode) noexcept {
    if (outHostCode) *outHostCode = 0;
    // An empty text when there is no memory for the text.
    return TrapOr(std::string(), [&] {
        try {
            throw;
        } catch (ErrorCode code) {
            return HasErrorMessage() ? std::string(GetErrorMessage()) : "error " + std::to_string(code);
        } catch (const HostError& error) {
            if (outHostCode) *outHostCode = error.code();
            return std::string(error.what());
        } catch (const std::exception& error) {
            return std::string(error.what());
        } catch (...) {
            return std::string();
        }
    });
}

ErrorCode CurrentErrorCode(ErrorCode other) noexcept {
    ErrorCode code = other;
    // Kinds the handlers do not name leave the rethrow and end in the trap.
    TrapRun([&] {
        try {
            throw;
        } catch (ErrorCode thrown) {
            code = thrown;
        } catch (const HostError& error) {
            code = TakeHostError(error);
        }
    });
    return code;
}
