#include "cli/PrefsFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "cli/AtomicFile.h"

namespace qmcli {
namespace {

constexpr uint32_t kEndId = FourCharCode("*END");
constexpr uint32_t kEndType = FourCharCode("mark");
// The plug-in keeps a few settings and paths here: a few kilobytes at most.
constexpr ReadLimit kLimit{uint64_t(1) << 20, "a preferences file"};

uint32_t readWord(std::string_view bytes, size_t offset) {
    return uint32_t(uint8_t(bytes[offset])) | (uint32_t(uint8_t(bytes[offset + 1])) << 8) |
           (uint32_t(uint8_t(bytes[offset + 2])) << 16) | (uint32_t(uint8_t(bytes[offset + 3])) << 24);
}

void appendWord(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out += static_cast<char>((value >> shift) & 0xFF);
}

}  // namespace

std::string PrefsFile::CodeText(uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        text += (c >= 0x20 && c < 0x7f) ? c : '?';
    }
    return text;
}

bool PrefsFile::parse(std::string_view bytes, std::string* error) {
    mRecords.clear();
    mVersion = 0;
    if (bytes.size() < 8 || readWord(bytes, 0) != kSignature) {
        *error = "not a preferences file (no 'spip' signature)";
        return false;
    }
    mVersion = readWord(bytes, 4);
    if (mVersion > kMaxVersion) {
        *error = "the preferences file has version " + std::to_string(mVersion) +
                 ", newer than this host reads (" + std::to_string(kMaxVersion) + ")";
        return false;
    }
    size_t offset = 8;
    if (!readRecords(bytes, offset, bytes.size(), 0, &mRecords, error)) {
        *error = "damaged preferences file: " + *error;
        mRecords.clear();
        return false;
    }
    return true;
}

bool PrefsFile::readRecords(std::string_view bytes, size_t& offset, size_t limit, int depth,
                            std::vector<Record>* out, std::string* error) {
    for (;;) {
        if (limit - offset < 12) {
            *error = std::string(depth == 0 ? "the records" : "nested records") +
                     " end without an end record (at byte " + std::to_string(offset) + ")";
            return false;
        }
        Record record;
        record.id = readWord(bytes, offset);
        record.type = readWord(bytes, offset + 4);
        const uint32_t size = readWord(bytes, offset + 8);
        offset += 12;
        if (record.id == kEndId && record.type == kEndType) return true;  // its payload is not read
        if (size > limit - offset) {
            *error = "the record '" + CodeText(record.id) + "' at byte " + std::to_string(offset - 12) + " claims " +
                     std::to_string(size) + " bytes, " + std::to_string(limit - offset) + " remain";
            return false;
        }
        if (!checkPayload(bytes, offset, size, record.type, depth, error)) return false;
        if (out) out->push_back({record.id, record.type, std::string(bytes.substr(offset, size))});
        offset += size;
    }
}

bool PrefsFile::checkPayload(std::string_view bytes, size_t offset, uint32_t size, uint32_t type, int depth,
                             std::string* error) {
    // The plug-in reads each known type into its value and refuses what does
    // not hold one; a file it refuses is refused here too, so that `prefs get`
    // never shows defaults for a file the next run reports as damaged.
    uint32_t needed = 0;
    if (type == kTypeBool || type == kTypeLong) needed = 4;
    if (type == kTypePoint || type == kTypeFloat) needed = 8;
    if (type == kTypeRect) needed = 16;
    if (size < needed) {
        *error = "a '" + CodeText(type) + "' record of " + std::to_string(size) +
                 " bytes is shorter than its value (" + std::to_string(needed) + " bytes) (at byte " +
                 std::to_string(offset) + ")";
        return false;
    }
    if (type == kTypeFile && size >= kMaxFilePath) {
        *error = "a file path of " + std::to_string(size) + " bytes is longer than " +
                 std::to_string(kMaxFilePath - 1) + " bytes (at byte " + std::to_string(offset) + ")";
        return false;
    }
    if (type != kTypeStore || size == 0) return true;
    if (depth >= kMaxNesting) {
        *error = "nested records go deeper than " + std::to_string(kMaxNesting) + " levels (at byte " +
                 std::to_string(offset) + ")";
        return false;
    }
    size_t nested = offset;
    return readRecords(bytes, nested, offset + size, depth + 1, nullptr, error);
}

bool PrefsFile::read(const std::string& path, std::string* error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        mRecords.clear();
        mVersion = 0;
        return true;
    }
    std::string bytes;
    if (!ReadWholeFile(path, &bytes, error, kLimit)) return false;
    if (!parse(bytes, error)) {
        *error = path + ": " + *error;
        return false;
    }
    return true;
}

std::string PrefsFile::encode() const {
    std::string out;
    appendWord(out, kSignature);
    appendWord(out, mVersion);
    for (const Record& record : mRecords) {
        appendWord(out, record.id);
        appendWord(out, record.type);
        appendWord(out, static_cast<uint32_t>(record.payload.size()));
        out += record.payload;
    }
    appendWord(out, kEndId);
    appendWord(out, kEndType);
    appendWord(out, 0);
    return out;
}

bool PrefsFile::write(const std::string& path, std::string* error) const {
    return WriteFileReplacing(path, encode(), error);
}

const PrefsFile::Record* PrefsFile::first(uint32_t id) const {
    for (const Record& record : mRecords)
        if (record.id == id) return &record;
    return nullptr;
}

std::optional<bool> PrefsFile::getBool(uint32_t id) const {
    const Record* record = first(id);
    if (!record || record->type != kTypeBool) return std::nullopt;
    // A short payload reads as its bytes followed by zeros.
    std::string word = record->payload.substr(0, 4);
    word.resize(4, '\0');
    return readWord(word, 0) != 0;
}

std::optional<int32_t> PrefsFile::getLong(uint32_t id) const {
    const Record* record = first(id);
    if (!record || record->type != kTypeLong) return std::nullopt;
    std::string word = record->payload.substr(0, 4);
    word.resize(4, '\0');
    return static_cast<int32_t>(readWord(word, 0));
}

void PrefsFile::set(uint32_t id, uint32_t type, uint32_t value) {
    std::string payload;
    appendWord(payload, value);
    for (Record& record : mRecords) {
        if (record.id != id) continue;
        if (record.type == type) {
            record.payload = payload;
            return;
        }
        break;
    }
    std::erase_if(mRecords, [id](const Record& record) { return record.id == id; });
    mRecords.push_back({id, type, payload});
}

void PrefsFile::setBool(uint32_t id, bool value) { set(id, kTypeBool, value ? 1 : 0); }

void PrefsFile::setLong(uint32_t id, int32_t value) { set(id, kTypeLong, static_cast<uint32_t>(value)); }

}  // namespace qmcli
