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
    try {
        try {
            throw;
        } catch (ErrorCode code) {
            if (code == kErrUserCancelled) return;  // the user asked to stop: nothing to tell
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
    } catch (...) {
        // Showing the report failed too; the host must still not see an exception.
    }
    // The message has reached the user: a later failure without a text of its
    // own must not show this one again.
    ClearErrorMessage();
}

std::string DescribeCurrentException() noexcept {
    try {
        try {
            throw;
        } catch (ErrorCode code) {
            return HasErrorMessage() ? std::string(GetErrorMessage()) : "error " + std::to_string(code);
        } catch (const std::exception& error) {  // HostError too
            return error.what();
        } catch (...) {
            return std::string();
        }
    } catch (...) {
        return std::string();  // no memory for the text
    }
}
