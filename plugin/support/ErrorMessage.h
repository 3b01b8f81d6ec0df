// The one-message error buffer: the text of the last failure, carried to the
// place that shows it. Each message replaces the previous one whole.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>

constexpr size_t kErrorMessageCapacity = 1024;  // characters, the terminator not counted

// Copies at most 1024 bytes of text (never splitting a UTF-8 sequence).
void SetErrorMessage(const char* text);
void SetErrorMessage(const std::string& text);
// The buffer (1025 bytes), for the host to write into with capacity 1024.
char* GetErrorMessage();
bool HasErrorMessage();
void ClearErrorMessage();

// Shows the buffer's text as it is (an alert; the text is never a format).
void ShowErrorMessage();

// Loads string `id` when loadString is non-zero and formats it with the
// arguments into the buffer. With loadString 0 there is no format: the buffer
// is emptied. (The flag is an int: a bool cannot precede variable arguments.)
void FormatErrorMessageV(uint32_t id, int loadString, va_list args);
void FormatErrorMessage(uint32_t id, int loadString, ...);

// Shows the buffer's text when it holds a message; otherwise loads string `id`
// and shows it formatted with the arguments.
void ShowErrorMessageOrResStringV(uint32_t id, va_list args);
void ShowErrorMessageOrResString(uint32_t id, ...);
