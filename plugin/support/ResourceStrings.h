// The string table: UTF-8 texts by id, compiled into the module from
// resources/strings.txt, and the bounded text helpers that every formatted
// message of the support library goes through.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// Every buffer that receives a resource string or a formatted text holds this
// many bytes: at most 1024 bytes of text and the terminator.
constexpr size_t kResStringCapacity = 1025;

// The module handle that resources are looked up in. Kept for callers that pass
// it around; the table itself is linked into the module.
void SetResourceInstance(void* instance);
void* GetResourceInstance();

// Copies the text of `id` into buffer (at least kResStringCapacity bytes), or
// into the shared string buffer when buffer is null, and answers that buffer.
// A missing id gives the empty text. A second call without a buffer overwrites
// the text that the first one answered.
char* LoadResString(uint32_t id, char* buffer = nullptr);

// Loads the text of `id` (as LoadResString) and formats it as a printf format
// with the arguments into the shared format buffer, which it answers. The text
// is cut to 1024 bytes at a character boundary.
char* LoadResStringF(uint32_t id, char* buffer, ...);
char* LoadResStringV(uint32_t id, char* buffer, va_list args);

// The text of `id` straight from the table ("" when missing), valid for the run.
std::string_view GetResString(uint32_t id);

// Parses a string-table file: lines "id<TAB>text", "#" comments and blank lines
// skipped, escapes \n \t \r \\ in the text (an unknown escape is kept as
// written); lines without a numeric id and a tab are skipped; a later line with
// the same id replaces the earlier one.
std::map<uint32_t, std::string> ParseStringTable(std::string_view file);

// --- bounded text helpers

// The length of the longest prefix of text[0..length) of at most `limit` bytes
// that does not end inside a UTF-8 sequence.
size_t Utf8Prefix(const char* text, size_t length, size_t limit);

// The length of text[0..length) without a UTF-8 sequence that is cut short at
// its end (a text that another party cut by bytes).
size_t Utf8CompleteLength(const char* text, size_t length);

// Copies text into buffer (capacity bytes including the terminator), cut at a
// character boundary; answers buffer. capacity must be at least 1.
char* CopyBounded(char* buffer, size_t capacity, std::string_view text);

// printf-formats into buffer (capacity bytes including the terminator), cut at a
// character boundary; answers buffer. A null format gives the empty text.
char* FormatBoundedV(char* buffer, size_t capacity, const char* format, va_list args);
char* FormatBounded(char* buffer, size_t capacity, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// The shared format buffer (kResStringCapacity bytes) that formatted alert texts
// and formatted resource strings are written into.
char* GetFormatBuffer();
