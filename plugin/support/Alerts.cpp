#include "support/Alerts.h"

#include <cstdio>
#include <cstring>

#include "qmhost/HostError.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"
#include "support/ResourceStrings.h"

namespace {
void* sAlertOwner = nullptr;
char sPascalBuffer[kResStringCapacity] = "";
}  // namespace

void SetAlertOwner(void* owner) { sAlertOwner = owner; }
void* GetAlertOwner() { return sAlertOwner; }

void ShowAlert(const char* text) {
    if (!text) text = "";
    if (!gAppViewHFT || !gAppViewHFT->alertNote) {
        std::fprintf(stderr, "%s\n", text);
        return;
    }
    // An alert that cannot be shown has nowhere to be reported; the caller goes on.
    try {
        gAppViewHFT->alertNote(text);
    } catch (const HostError&) {
    }
}

bool HostShowsWarnings() { return TableHasMember(gAppViewHFT, &AppViewTable::alertWarning); }

void ShowWarning(const char* text) {
    if (!text) text = "";
    // A host without warnings shows it as a note: the text is not lost.
    if (!HostShowsWarnings()) {
        ShowAlert(text);
        return;
    }
    try {
        gAppViewHFT->alertWarning(text);
    } catch (const HostError&) {
    }
}

void WarningV(const char* format, va_list args) {
    char text[kResStringCapacity];
    ShowWarning(FormatBoundedV(text, sizeof text, format, args));
}

void Warning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    WarningV(format, args);
    va_end(args);
}

void AlertV(const char* format, va_list args) {
    ShowAlert(FormatBoundedV(GetFormatBuffer(), kResStringCapacity, format, args));
}

void Alert(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AlertV(format, args);
    va_end(args);
}

void AlertResStringV(uint32_t id, va_list args) {
    char text[kResStringCapacity];
    AlertV(LoadResString(id, text), args);
}

void AlertResString(uint32_t id, ...) {
    va_list args;
    va_start(args, id);
    AlertResStringV(id, args);
    va_end(args);
}

void AlertPascalStringV(const unsigned char* text, va_list args) {
    const size_t length = text ? text[0] : 0;
    if (length > 0) std::memcpy(sPascalBuffer, text + 1, length);
    sPascalBuffer[length] = '\0';
    AlertV(sPascalBuffer, args);
}

void AlertPascalString(const unsigned char* text, ...) {
    va_list args;
    va_start(args, text);
    AlertPascalStringV(text, args);
    va_end(args);
}
