#include "cli/ProfileJson.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "cli/Base64.h"
#include "cli/ProfileJsonValues.h"
#include "cli/ProfileStore.h"
#include "qmhost/ASExtraTable.h"

namespace qmcli {
namespace {

using Json = nlohmann::json;

constexpr const char kStampCount[] = "kNumberOfStamps";
constexpr const char kStampPrefix[] = "kStamp";
constexpr const char kStampText[] = "kTextE";
constexpr const char kStampName[] = "kStampNameE";
constexpr const char kOpacity[] = "kOpacityS";
// A stamp's opacity when the JSON leaves it out: the design dialogs' default.
// The stamp itself reads a missing opacity as 0, an invisible stamp.
constexpr int32_t kJsonDefaultOpacity = 100;
constexpr int32_t kStampDefaultOpacity = 0;
constexpr const char kAction[] = "kActionC";
constexpr const char kActionSize[] = "kActionCFileSize";
constexpr const char kBinaryMarker[] = "$base64";

}  // namespace

const std::map<std::string_view, KeyKind>& knownKeyKinds() {
    static const std::map<std::string_view, KeyKind> kinds = {
        {"kNumberOfStamps", KeyKind::Int}, {"kStampType", KeyKind::Int},
        {"kStampNameE", KeyKind::String},  {"kActionC", KeyKind::Binary},
        {"kActionCFileSize", KeyKind::Int}, {"kUnitC", KeyKind::Int},
        {"kHorizontalS", KeyKind::Double}, {"kHorizontalC", KeyKind::Int},
        {"kVerticalS", KeyKind::Double},   {"kVerticalC", KeyKind::Int},
        {"kRotationS", KeyKind::Int},      {"kOpacityS", KeyKind::Int},
        {"kOverlay", KeyKind::Bool},       {"kPages", KeyKind::Int},
        {"kStampOnC", KeyKind::Int},       {"kEveryPageE", KeyKind::Int},
        {"kFromPageE", KeyKind::Int},      {"kPagesE", KeyKind::Text},
        {"kDashedC", KeyKind::Int},        {"kColorC", KeyKind::Int},
        {"kWeightC", KeyKind::Double},     {"kSelectFileE", KeyKind::Text},
        {"kSizeS", KeyKind::Int},          {"kPageNoS", KeyKind::Int},
        {"kTextE", KeyKind::String},       {"kLineSpacingC", KeyKind::Int},
        {"kDynamicTextC", KeyKind::Int},   {"kWordWrapCH", KeyKind::Bool},
        {"kUnderlineC", KeyKind::Int},     {"kColorFontC", KeyKind::Int},
        {"kFillColorC", KeyKind::Int},     {"kTypeC", KeyKind::Int},
        {"kStyleStandardC", KeyKind::Int}, {"kStyleSystemC", KeyKind::String},
        {"kSizeE", KeyKind::Int},          {"kEmbedCH", KeyKind::Bool},
        {"kOutlineCH", KeyKind::Bool},
    };
    return kinds;
}

namespace {

// "\n" not after "\r" becomes "\r\n": stamp texts keep "\r\n" line breaks.
std::string toCabinetLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::string toJsonLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

// The index of a key "kStamp<digits>", or -1 for any other key.
int64_t stampIndexOf(const std::string& key) {
    const size_t prefix = sizeof(kStampPrefix) - 1;
    if (key.size() <= prefix || key.compare(0, prefix, kStampPrefix) != 0) return -1;
    int64_t index = 0;
    for (size_t i = prefix; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9' || index > 1000000000) return -1;
        index = index * 10 + (key[i] - '0');
    }
    return index;
}

class JsonReader {
public:
    std::string error;
    std::vector<std::string> unknownKeys;  // kept, but no stamp reads them

    bool readProfile(const Json& object, qmhost::Cabinet& profile) {
        if (!readEntries(object, profile, "", 1)) return false;
        return checkStamps(object, profile);
    }

private:
    bool fail(const std::string& where, const std::string& what) {
        error = (where.empty() ? std::string() : where + ": ") + what;
        return false;
    }

    bool readEntries(const Json& object, qmhost::Cabinet& cabinet, const std::string& where, int depth) {
        if (depth > kASCabMaxDepth) return fail(where, "nested too deep");
        for (auto it = object.begin(); it != object.end(); ++it) {
            const std::string& key = it.key();
            const std::string at = where.empty() ? key : where + "." + key;
            if (key.empty() || key.size() > static_cast<size_t>(kASCabMaxKeyLength) ||
                key.find('\0') != std::string::npos)
                return fail(at, "a key is 1 to 1024 bytes without NUL");
            if (!readValue(key, it.value(), cabinet, at, depth)) return false;
        }
        // The stored length of the action document is its real length.
        if (const auto* action = cabinet.find(kAction))
            if (const auto* binary = std::get_if<qmhost::BinaryValue>(action))
                cabinet.put(kActionSize, static_cast<int32_t>(binary->bytes.size()));
        return true;
    }

    bool readInt(const Json& value, const std::string& at, int32_t* out) {
        if (!value.is_number()) return fail(at, "an integer (32 bits) is needed");
        const double number = value.get<double>();
        if (std::floor(number) != number ||
            number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
            return fail(at, "an integer (32 bits) is needed, not " + value.dump());
        *out = static_cast<int32_t>(number);
        return true;
    }

    bool readString(const Json& value, const std::string& at, std::string* out) {
        if (!value.is_string()) return fail(at, "a string is needed");
        *out = value.get<std::string>();
        if (out->find('\0') != std::string::npos) return fail(at, "a string may not hold NUL");
        return true;
    }

    bool readBinary(const Json& value, const std::string& at, qmhost::Cabinet& cabinet, const std::string& key) {
        if (!value.is_string()) return fail(at, "a base64 string is needed");
        std::optional<std::string> decoded = DecodeBase64(value.get_ref<const std::string&>());
        if (!decoded) return fail(at, "not valid base64");
        // A link action is kept as a PDF document; anything else would only
        // fail later, in every run, without a word. PDF readers look for the
        // header in the first 1024 bytes.
        if (key == kAction && !decoded->empty() && decoded->substr(0, 1024).find("%PDF-") == std::string::npos)
            return fail(at, "not a PDF document (a link action is stored as one)");
        cabinet.put(key, qmhost::BinaryValue{std::move(*decoded)});
        return true;
    }

    bool readValue(const std::string& key, const Json& value, qmhost::Cabinet& cabinet,
                   const std::string& at, int depth) {
        if (keyKind(key) == KeyKind::Unknown) return readUnknown(key, value, cabinet, at, depth);
        if (!readKnown(key, value, cabinet, at)) return false;
        std::string why;
        if (!CheckStampValue(key, *cabinet.find(key), &why)) return fail(at, why);
        return true;
    }

    bool readKnown(const std::string& key, const Json& value, qmhost::Cabinet& cabinet, const std::string& at) {
        switch (keyKind(key)) {
            case KeyKind::Int: {
                int32_t number = 0;
                if (!readInt(value, at, &number)) return false;
                cabinet.put(key, number);
                return true;
            }
            case KeyKind::Double:
                if (!value.is_number()) return fail(at, "a number is needed");
                cabinet.put(key, value.get<double>());
                return true;
            case KeyKind::Bool:
                if (!value.is_boolean()) return fail(at, "true or false is needed");
                cabinet.put(key, value.get<bool>());
                return true;
            case KeyKind::String: {
                std::string text;
                if (!readString(value, at, &text)) return false;
                // A missing name is given the stamp manager's default name later.
                if (key == kStampName && text.empty())
                    return fail(at, "a stamp needs a name (leave kStampNameE out for the default one)");
                if (key == kStampName && !ProfileStore::ValidName(text, &error, "stamp"))
                    return fail(at, "the stamp name is refused: " + error);
                if (key == kStampText) text = toCabinetLineBreaks(text);
                cabinet.put(key, qmhost::StringValue{text});
                return true;
            }
            case KeyKind::Text: {
                std::string text;
                if (!readString(value, at, &text)) return false;
                cabinet.put(key, std::make_unique<qmhost::HostText>(text));
                return true;
            }
            case KeyKind::Binary:
                return readBinary(value, at, cabinet, key);
            case KeyKind::Unknown:
                break;
        }
        return false;
    }

    bool readUnknown(const std::string& key, const Json& value, qmhost::Cabinet& cabinet, const std::string& at,
                     int depth) {
        if (!(depth == 1 && stampIndexOf(key) >= 0)) unknownKeys.push_back(at);
        if (value.is_boolean()) {
            cabinet.put(key, value.get<bool>());
        } else if (value.is_number()) {
            const double number = value.get<double>();
            int32_t whole = 0;
            if (std::floor(number) == number && readInt(value, at, &whole)) cabinet.put(key, whole);
            else cabinet.put(key, number);
            error.clear();
        } else if (value.is_string()) {
            std::string text;
            if (!readString(value, at, &text)) return false;
            cabinet.put(key, qmhost::StringValue{text});
        } else if (value.is_object()) {
            if (value.size() == 1 && value.contains(kBinaryMarker))
                return readBinary(value.at(kBinaryMarker), at, cabinet, key);
            auto sub = std::make_unique<qmhost::Cabinet>();
            if (!readEntries(value, *sub, at, depth + 1)) return false;
            cabinet.put(key, std::move(sub));
        } else {
            return fail(at, "arrays and null have no place in a profile");
        }
        return true;
    }

    bool checkStamps(const Json& object, qmhost::Cabinet& profile) {
        int64_t count = 0;
        if (object.contains(kStampCount)) {
            count = std::get<int32_t>(*profile.find(kStampCount));
            if (count < 0) return fail(kStampCount, "the number of stamps may not be negative");
        } else {
            while (count < std::numeric_limits<int32_t>::max() &&
                   object.contains(kStampPrefix + std::to_string(count)))
                ++count;
            profile.put(kStampCount, static_cast<int32_t>(count));
        }
        for (int64_t i = 0; i < count; ++i) {
            const std::string key = kStampPrefix + std::to_string(i);
            const qmhost::CabinetValue* stamp = profile.find(key);
            if (!stamp || !std::holds_alternative<std::unique_ptr<qmhost::Cabinet>>(*stamp))
                return fail(key, "stamp " + std::to_string(i) + " of " + std::to_string(count) +
                                     " is missing (an object is needed)");
        }
        if (!nameStamps(profile, count)) return false;
        for (int64_t i = 0; i < count; ++i) {
            auto& stamp = std::get<std::unique_ptr<qmhost::Cabinet>>(*profile.find(kStampPrefix + std::to_string(i)));
            if (!stamp->find(kOpacity)) stamp->put(kOpacity, kJsonDefaultOpacity);
        }
        for (auto it = object.begin(); it != object.end(); ++it) {
            const std::string& key = it.key();
            const int64_t index = stampIndexOf(key);
            if (index >= count || (index >= 0 && key != kStampPrefix + std::to_string(index)))
                return fail(key, "no stamp of the profile (" +
                                     (count == 0 ? std::string("kNumberOfStamps is 0")
                                                 : "it has kStamp0 to kStamp" + std::to_string(count - 1)) +
                                     ")");
            if (index < 0 && key != kStampCount && keyKind(key) != KeyKind::Unknown)
                return fail(key, "a stamp's key belongs in a stamp object (kStamp0, kStamp1, ...)");
        }
        return true;
    }

    // Every stamp gets a name: a missing or empty one becomes the name that the
    // stamp manager gives a new stamp of its kind ("文本", "图像" or "PDF", with
    // 1, 2, ... behind it while that is taken). Names that differ only in
    // letter case are refused: the manager could not tell the stamps apart.
    bool nameStamps(qmhost::Cabinet& profile, int64_t count) {
        std::vector<qmhost::Cabinet*> stamps;
        std::vector<std::string> names;
        for (int64_t i = 0; i < count; ++i) {
            const auto& held = std::get<std::unique_ptr<qmhost::Cabinet>>(*profile.find(kStampPrefix + std::to_string(i)));
            stamps.push_back(held.get());
            const qmhost::CabinetValue* name = held->find(kStampName);
            const auto* text = name ? std::get_if<qmhost::StringValue>(name) : nullptr;
            names.push_back(text ? text->text : std::string());
        }
        std::map<std::string, size_t> byFoldedName;  // the first stamp of each name, folded
        for (size_t i = 0; i < names.size(); ++i)
            if (!names[i].empty()) byFoldedName.emplace(ProfileStore::FoldedName(names[i]), i);
        for (size_t i = 0; i < names.size(); ++i) {
            if (!names[i].empty()) continue;
            names[i] = freeStampName(defaultStampName(*stamps[i]), byFoldedName);
            byFoldedName.emplace(ProfileStore::FoldedName(names[i]), i);
            stamps[i]->put(kStampName, qmhost::StringValue{names[i]});
        }
        for (size_t j = 0; j < names.size(); ++j) {
            const size_t i = byFoldedName.at(ProfileStore::FoldedName(names[j]));
            if (names[i] != names[j])
                return fail(kStampPrefix + std::to_string(j) + "." + kStampName,
                            "the stamp names \"" + names[i] + "\" (kStamp" + std::to_string(i) + ") and \"" +
                                names[j] + "\" (kStamp" + std::to_string(j) + ") differ only in letter case");
        }
        return true;
    }

    static std::string defaultStampName(const qmhost::Cabinet& stamp) {
        const qmhost::CabinetValue* type = stamp.find("kStampType");
        const auto* kind = type ? std::get_if<int32_t>(type) : nullptr;
        if (kind && *kind == 1) return "图像";
        if (kind && *kind == 2) return "PDF";
        return "文本";
    }

    static std::string freeStampName(const std::string& base, const std::map<std::string, size_t>& taken) {
        if (!taken.count(ProfileStore::FoldedName(base))) return base;
        for (int n = 1;; ++n)
            if (!taken.count(ProfileStore::FoldedName(base + std::to_string(n)))) return base + std::to_string(n);
    }
};

// A JSON string of text; bytes that are not UTF-8 become U+FFFD.
std::string quoted(const std::string& text) {
    return Json(text).dump(-1, ' ', false, Json::error_handler_t::replace);
}

// JSON text with DEL and the C1 controls (U+0080 to U+009F) escaped, as the
// writer escapes the C0 controls, so that showing a profile on a terminal
// never sends it a control. Their bytes occur only inside strings.
std::string escapedControls(const std::string& json) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(json.size());
    for (size_t i = 0; i < json.size(); ++i) {
        const auto c = static_cast<unsigned char>(json[i]);
        const bool c1 = c == 0xC2 && i + 1 < json.size() && (static_cast<unsigned char>(json[i + 1]) & 0xE0) == 0x80;
        if (c != 0x7F && !c1) {
            out += json[i];
            continue;
        }
        const auto code = c1 ? static_cast<unsigned char>(json[++i]) : c;
        out += "\\u00";
        out += kHex[code >> 4];
        out += kHex[code & 0xF];
    }
    return out;
}

// Writes cabinets as indented JSON objects: one entry a line, four spaces a
// level, an empty object as "{", a line feed and its closing brace.
class JsonWriter {
public:
    explicit JsonWriter(std::string& out) : mOut(out) {}

    void object(const qmhost::Cabinet& cabinet, int level) {
        mOut += "{\n";
        bool first = true;
        for (const auto& [key, value] : cabinet.entries()) {
            if (std::holds_alternative<std::shared_ptr<qmhost::PointerRecord>>(value)) continue;  // never stored
            if (!first) mOut += ",\n";
            first = false;
            mOut.append(4 * static_cast<size_t>(level + 1), ' ');
            mOut += quoted(key) + ": ";
            entry(key, value, level + 1);
        }
        if (!first) mOut += '\n';
        mOut.append(4 * static_cast<size_t>(level), ' ');
        mOut += '}';
    }

private:
    void entry(const std::string& key, const qmhost::CabinetValue& value, int level) {
        if (const auto* number = std::get_if<int32_t>(&value)) {
            mOut += std::to_string(*number);
        } else if (const auto* flag = std::get_if<bool>(&value)) {
            mOut += *flag ? "true" : "false";
        } else if (const auto* real = std::get_if<double>(&value)) {
            mOut += NumberText(*real);
        } else if (const auto* string = std::get_if<qmhost::StringValue>(&value)) {
            mOut += quoted(key == kStampText ? toJsonLineBreaks(string->text) : string->text);
        } else if (const auto* text = std::get_if<std::unique_ptr<qmhost::HostText>>(&value)) {
            mOut += quoted((*text)->utf8());
        } else if (const auto* binary = std::get_if<qmhost::BinaryValue>(&value)) {
            const std::string base64 = quoted(EncodeBase64(binary->bytes));
            if (keyKind(key) == KeyKind::Binary) {
                mOut += base64;
            } else {
                mOut += "{\n" + std::string(4 * static_cast<size_t>(level + 1), ' ') + quoted(kBinaryMarker) + ": " +
                        base64 + "\n" + std::string(4 * static_cast<size_t>(level), ' ') + "}";
            }
        } else if (const auto* sub = std::get_if<std::unique_ptr<qmhost::Cabinet>>(&value)) {
            object(**sub, level);
        }
    }

    std::string& mOut;
};

// json with two liberties that hand-written profiles have always been allowed
// made into strict JSON: a control character standing raw in a string (a tab,
// a line break) is escaped, and a decimal point with a digit on one side only
// (".5", "2.") is given a zero on the other. Strict JSON refuses both forms, so
// nothing that it reads changes.
std::string strictForms(std::string_view json) {
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string out;
    out.reserve(json.size() + 16);
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString && c == '\\' && i + 1 < json.size()) {
            out += c;
            out += json[++i];
        } else if (inString && static_cast<unsigned char>(c) < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else if (!inString && c == '.') {
            const bool digitBefore = i > 0 && isDigit(json[i - 1]);
            const bool digitAfter = i + 1 < json.size() && isDigit(json[i + 1]);
            if (digitAfter && !digitBefore) out += '0';
            out += '.';
            if (digitBefore && !digitAfter) out += '0';
        } else {
            if (c == '"') inString = !inString;
            out += c;
        }
    }
    return out;
}

// Watches the parser for a key given twice in one object, which JSON readers
// would settle silently by keeping one of the values.
class DuplicateKeys {
public:
    // The first key given twice, as its path ("kStamp0.kSizeE"); "" when none.
    const std::string& first() const { return mFirst; }

    bool operator()(int, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
            case Json::parse_event_t::array_start:
                mOpen.push_back({mOpen.empty() ? std::string() : pathOf(mKey), {}});
                break;
            case Json::parse_event_t::object_end:
            case Json::parse_event_t::array_end:
                mOpen.pop_back();
                break;
            case Json::parse_event_t::key:
                mKey = parsed.get<std::string>();
                if (!mOpen.back().keys.insert(mKey).second && mFirst.empty()) mFirst = pathOf(mKey);
                break;
            case Json::parse_event_t::value:
                break;
        }
        return true;
    }

private:
    struct Open {
        std::string path;
        std::set<std::string> keys;
    };
    std::string pathOf(const std::string& key) const {
        return mOpen.back().path.empty() ? key : mOpen.back().path + "." + key;
    }

    std::vector<Open> mOpen;
    std::string mKey;
    std::string mFirst;
};

}  // namespace

KeyKind keyKind(std::string_view key) {
    const auto& kinds = knownKeyKinds();
    const auto it = kinds.find(key);
    return it == kinds.end() ? KeyKind::Unknown : it->second;
}

std::unique_ptr<qmhost::Cabinet> ProfileFromJson(std::string_view json, std::string* error,
                                                 std::vector<std::string>* unknownKeys) {
    Json document;
    DuplicateKeys duplicates;
    try {
        const std::string strict = strictForms(json);
        document = Json::parse(strict.begin(), strict.end(), std::ref(duplicates));
    } catch (const Json::exception& failure) {  // a parse error, or a number beyond a double
        // what() begins with the library's tag ("[json.exception.parse_error.101] "), then
        // says where ("parse error at line 2, column 7: ") and what.
        const std::string what = failure.what();
        const size_t tagEnd = what.find("] ");
        *error = "not valid JSON: " + (tagEnd == std::string::npos ? what : what.substr(tagEnd + 2));
        return nullptr;
    }
    if (!duplicates.first().empty()) {
        *error = duplicates.first() + ": the key is given twice in one object";
        return nullptr;
    }
    if (!document.is_object()) {
        *error = "a profile is a JSON object";
        return nullptr;
    }
    auto profile = std::make_unique<qmhost::Cabinet>();
    JsonReader reader;
    if (!reader.readProfile(document, *profile)) {
        *error = reader.error;
        return nullptr;
    }
    if (unknownKeys) *unknownKeys = reader.unknownKeys;
    return profile;
}

std::string ProfileToJson(const qmhost::Cabinet& profile) {
    // A stamp without an opacity is written with the one it stamps with, as
    // JSON that leaves it out means the dialogs' default.
    const auto written = profile.clone();
    for (const auto& [key, value] : profile.entries()) {
        const int64_t index = stampIndexOf(key);
        const auto* stamp = std::get_if<std::unique_ptr<qmhost::Cabinet>>(&value);
        if (index < 0 || key != kStampPrefix + std::to_string(index) || !stamp || (*stamp)->find(kOpacity)) continue;
        auto withOpacity = (*stamp)->clone();
        withOpacity->put(kOpacity, kStampDefaultOpacity);
        written->put(key, std::move(withOpacity));
    }
    std::string out;
    JsonWriter(out).object(*written, 0);
    out += '\n';
    // U+FEFF is written as its escape, so that no reader takes it for a
    // byte-order mark and drops it. Its bytes occur only inside strings.
    for (size_t at = out.find("\xEF\xBB\xBF"); at != std::string::npos; at = out.find("\xEF\xBB\xBF", at))
        out.replace(at, 3, "\\ufeff");
    return escapedControls(out);
}

}  // namespace qmcli
