// The plug-in's preferences file ("Quillmark.pfs" beside its module), read
// and written by the host in the file's own layout, so that the command line
// can change a setting without the preferences dialog:
//
//   signature 'spip' and version (4 bytes each, little-endian), then records
//   of id, type and payload size (4 bytes each) and the payload, ended by the
//   record '*END' 'mark' 0. A 'bool' payload is 4 bytes (1 or 0; any non-zero
//   value reads as true), a 'long' payload 4 bytes, signed.
//
// Records of every other type (points, rectangles, strings, nested stores,
// unknown types) are kept byte for byte. Nothing of the file is trusted, and
// a file is refused (with a message) exactly where the plug-in's reader
// refuses it: a wrong signature, a version newer than 100, records without
// an end record, a record that claims more bytes than remain, a 'bool' or
// 'long' payload under 4 bytes ('pont' and 'flot' under 8, 'rect' under 16),
// a 'file' path of 4096 bytes or more, and a nested store ('pref') whose own
// records break these rules or nest deeper than 32 levels. A refused file is
// never written over.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qmcli {

// A four-character code as a number: the first character is the most
// significant byte ('WTNF' is 0x57544E46).
constexpr uint32_t FourCharCode(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

class PrefsFile {
public:
    static constexpr uint32_t kSignature = FourCharCode("spip");
    static constexpr uint32_t kMaxVersion = 100;
    static constexpr uint32_t kTypeBool = FourCharCode("bool");
    static constexpr uint32_t kTypeLong = FourCharCode("long");
    static constexpr uint32_t kTypePoint = FourCharCode("pont");
    static constexpr uint32_t kTypeFloat = FourCharCode("flot");
    static constexpr uint32_t kTypeRect = FourCharCode("rect");
    static constexpr uint32_t kTypeFile = FourCharCode("file");
    static constexpr uint32_t kTypeStore = FourCharCode("pref");
    static constexpr uint32_t kMaxFilePath = 4096;  // bytes with the terminator, as the plug-in keeps paths
    static constexpr int kMaxNesting = 32;

    struct Record {
        uint32_t id = 0;
        uint32_t type = 0;
        std::string payload;
    };

    // Reads the bytes of a file; false with *error set when they are no
    // preferences file the host may change (see above).
    bool parse(std::string_view bytes, std::string* error);
    // Reads the file; a missing file is an empty store.
    bool read(const std::string& path, std::string* error);
    // The file's bytes: signature, version, the records in order, the end record.
    std::string encode() const;
    // Writes encode() through a temporary file renamed over the file.
    bool write(const std::string& path, std::string* error) const;

    // The value of the first record with the id, when it has that type; none
    // when there is no record or it has another type.
    std::optional<bool> getBool(uint32_t id) const;
    std::optional<int32_t> getLong(uint32_t id) const;
    // As the plug-in's setters: the first record with the id is changed in
    // place when it has the type; otherwise every record with the id goes and
    // a new one is appended (so that no older record of the id hides it).
    void setBool(uint32_t id, bool value);
    void setLong(uint32_t id, int32_t value);

    const std::vector<Record>& records() const { return mRecords; }
    // A four-character code as text ('?' for bytes that are not printable ASCII).
    static std::string CodeText(uint32_t code);
    uint32_t version() const { return mVersion; }

private:
    // Reads records from offset up to limit and their end record; appends
    // them to out when given. depth: how many stores enclose them.
    static bool readRecords(std::string_view bytes, size_t& offset, size_t limit, int depth,
                            std::vector<Record>* out, std::string* error);
    // Whether the payload of size bytes at offset holds a value of its type.
    static bool checkPayload(std::string_view bytes, size_t offset, uint32_t size, uint32_t type, int depth,
                             std::string* error);
    const Record* first(uint32_t id) const;
    void set(uint32_t id, uint32_t type, uint32_t value);

    uint32_t mVersion = 0;
    std::vector<Record> mRecords;
};

}  // namespace qmcli
