#include "support/ResourceStrings.h"

#include <cstdio>
#include <cstring>
#include <string>

// Generated from resources/strings.txt by EmbedResource.cmake.
const char* QmStringResource(std::size_t* size);

namespace {
void* sResourceInstance = nullptr;
char sSharedStringBuffer[kResStringCapacity] = "";
char sFormatBuffer[kResStringCapacity] = "";

const std::map<uint32_t, std::string>& Table() {
    static const std::map<uint32_t, std::string> table = [] {
        std::size_t size = 0;
        const char* bytes = QmStringResource(&size);
        return ParseStringTable(std::string_view(bytes, size));
    }();
    return table;
}

std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[i + 1]) {
        case 'n': out += '\n'; break;
        case 't': out += '\t'; break;
        case 'r': out += '\r'; break;
        case '\\': out += '\\'; break;
        default: out += text[i]; out += text[i + 1]; break;
        }
        ++i;
    }
    return out;
}

bool ParseId(std::string_view digits, uint32_t* id) {
    if (digits.empty() || digits.size() > 9) return false;
    uint32_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    *id = value;
    return true;
}
}  // namespace

void SetResourceInstance(void* instance) { sResourceInstance = instance; }
void* GetResourceInstance() { return sResourceInstance; }

std::map<uint32_t, std::string> ParseStringTable(std::string_view file) {
    std::map<uint32_t, std::string> table;
    while (!file.empty()) {
        const size_t end = file.find('\n');
        std::string_view line = file.substr(0, end);
        file = end == std::string_view::npos ? std::string_view() : file.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;
        const size_t tab = line.find('\t');
        uint32_t id = 0;
        if (tab == std::string_view::npos || !ParseId(line.substr(0, tab), &id)) continue;
        table[id] = Unescape(line.substr(tab + 1));
    }
    return table;
}

std::string_view GetResString(uint32_t id) {
    const auto& table = Table();
    const auto found = table.find(id);
    return found == table.end() ? std::string_view() : std::string_view(found->second);
}

char* LoadResString(uint32_t id, char* buffer) {
    if (!buffer) buffer = sSharedStringBuffer;
    return CopyBounded(buffer, kResStringCapacity, GetResString(id));
}

char* LoadResStringV(uint32_t id, char* buffer, va_list args) {
    const char* format = LoadResString(id, buffer);
    // FormatBoundedV formats into a string of its own before it copies, so the
    // arguments may point into the shared buffers too.
    return FormatBoundedV(sFormatBuffer, kResStringCapacity, format, args);
}

char* LoadResStringF(uint32_t id, char* buffer, ...) {
    va_list args;
    va_start(args, buffer);
    char* result = LoadResStringV(id, buffer, args);
    va_end(args);
    return result;
}

size_t Utf8Prefix(const char* text, size_t length, size_t limit) {
    if (length <= limit) return length;
    size_t n = limit;
    // text[n] is the first byte left out: step back while it continues a sequence.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

size_t Utf8CompleteLength(const char* text, size_t length) {
    // Find the lead byte of the last sequence (at most three bytes back).
    size_t lead = length;
    for (size_t back = 0; back < 4 && lead > 0; ++back) {
        --lead;
        if ((static_cast<unsigned char>(text[lead]) & 0xC0) != 0x80) break;
    }
    if (lead == length) return length;
    const unsigned char first = static_cast<unsigned char>(text[lead]);
    const size_t expected = first < 0x80 ? 1 : first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
    return length - lead < expected ? lead : length;
}

char* CopyBounded(char* buffer, size_t capacity, std::string_view text) {
    const size_t n = Utf8Prefix(text.data(), text.size(), capacity - 1);
    if (n > 0) std::memmove(buffer, text.data(), n);
    buffer[n] = '\0';
    return buffer;
}

char* FormatBoundedV(char* buffer, size_t capacity, const char* format, va_list args) {
    if (!format) return CopyBounded(buffer, capacity, "");
    // Formatted in full first, so that the cut can see the byte behind the limit.
    va_list copy;
    va_copy(copy, args);
    const int needed = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (needed < 0) return CopyBounded(buffer, capacity, "");
    std::string text(static_cast<size_t>(needed) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    text.resize(static_cast<size_t>(needed));
    return CopyBounded(buffer, capacity, text);
}

char* FormatBounded(char* buffer, size_t capacity, const char* format, ...) {
    va_list args;
    va_start(args, format);
    FormatBoundedV(buffer, capacity, format, args);
    va_end(args);
    return buffer;
}

char* GetFormatBuffer() { return sFormatBuffer; }
