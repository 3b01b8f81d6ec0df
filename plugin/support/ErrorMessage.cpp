#include "support/ErrorMessage.h"

#include <cstring>

#include "support/Alerts.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

namespace {
char sErrorMessage[kErrorMessageCapacity + 1] = "";
}  // namespace

void SetErrorMessage(const char* text) {
    CopyBounded(sErrorMessage, sizeof sErrorMessage, text ? text : "");
}

void SetErrorMessage(const std::string& text) {
    CopyBounded(sErrorMessage, sizeof sErrorMessage, text);
}

char* GetErrorMessage() { return sErrorMessage; }
bool HasErrorMessage() { return sErrorMessage[0] != '\0'; }
void ClearErrorMessage() { sErrorMessage[0] = '\0'; }

ErrorCode TakeHostError(const HostError& error) {
    if (gAppSupportHFT)
        gAppSupportHFT->getErrorString(error.code(), GetErrorMessage(), kErrorMessageCapacity);
    else
        SetErrorMessage(error.what());
    // The host cuts its text by bytes; drop a character that it cut in half.
    sErrorMessage[Utf8CompleteLength(sErrorMessage, std::strlen(sErrorMessage))] = '\0';
    const ErrorCode code = static_cast<ErrorCode>(error.code() & 0xFFFF);
    return code == 0 ? static_cast<ErrorCode>(kErrCosObject) : code;
}

void ShowErrorMessage() { ShowAlert(sErrorMessage); }

void FormatErrorMessageV(uint32_t id, int loadString, va_list args) {
    if (!loadString) {
        ClearErrorMessage();
        return;
    }
    char format[kResStringCapacity];
    FormatBoundedV(sErrorMessage, sizeof sErrorMessage, LoadResString(id, format), args);
}

void FormatErrorMessage(uint32_t id, int loadString, ...) {
    va_list args;
    va_start(args, loadString);
    FormatErrorMessageV(id, loadString, args);
    va_end(args);
}

void ShowErrorMessageOrResStringV(uint32_t id, va_list args) {
    // The buffer holds host texts and messages with file names in them: shown
    // as text, never as a format.
    if (HasErrorMessage()) {
        ShowAlert(sErrorMessage);
        return;
    }
    AlertResStringV(id, args);
}

void ShowErrorMessageOrResString(uint32_t id, ...) {
    va_list args;
    va_start(args, id);
    ShowErrorMessageOrResStringV(id, args);
    va_end(args);
}
