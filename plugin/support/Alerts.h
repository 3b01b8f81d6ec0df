// Alerts: texts shown to the user. There is no window to own a message box on
// this platform, so every alert goes to the host's alert note (AppView);
// before the host tables are imported alerts go to standard error.
#pragma once

#include <cstdarg>
#include <cstdint>

// The alert owner: an opaque window handle that nothing in the plug-in sets;
// kept so that callers can ask. Alerts go to the host whatever it holds.
void SetAlertOwner(void* owner);
void* GetAlertOwner();

// Shows text as it is (never used as a format).
void ShowAlert(const char* text);

// Shows a warning: something went wrong that the operation under way goes on
// past (its result stands). The host tells it from a note, which carries a
// failed run's message; a host without warnings shows it as a note.
void ShowWarning(const char* text);
bool HostShowsWarnings();
// Formats (bounded, 1024 bytes at most) and shows the result as a warning.
void WarningV(const char* format, va_list args);
void Warning(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Formats into the shared format buffer (1024 bytes at most, cut at a character
// boundary) and shows the result.
void AlertV(const char* format, va_list args);
void Alert(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Loads string `id` (a missing id is the empty text) and shows it formatted
// with the arguments.
void AlertResStringV(uint32_t id, va_list args);
void AlertResString(uint32_t id, ...);

// A length-prefixed string (first byte = number of bytes that follow) used as
// the format, shown formatted with the arguments. Null shows the empty text.
void AlertPascalStringV(const unsigned char* text, va_list args);
void AlertPascalString(const unsigned char* text, ...);
