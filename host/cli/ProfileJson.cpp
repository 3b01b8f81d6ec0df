#include "cli/ProfileJson.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>
#include <QStringDecoder>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>

#include "cli/ProfileStore.h"
#include "qmhost/ASExtraTable.h"

namespace qmcli {
namespace {

constexpr const char kStampCount[] = "kNumberOfStamps";
constexpr const char kStampPrefix[] = "kStamp";
constexpr const char kStampText[] = "kTextE";
constexpr const char kStampName[] = "kStampNameE";
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

    bool readProfile(const QJsonObject& object, qmhost::Cabinet& profile) {
        if (!readEntries(object, profile, "", 1)) return false;
        return checkStamps(object, profile);
    }

private:
    bool fail(const std::string& where, const std::string& what) {
        error = (where.empty() ? std::string() : where + ": ") + what;
        return false;
    }

    bool readEntries(const QJsonObject& object, qmhost::Cabinet& cabinet, const std::string& where,
                     int depth) {
        if (depth > kASCabMaxDepth) return fail(where, "nested too deep");
        for (auto it = object.begin(); it != object.end(); ++it) {
            const std::string key = it.key().toStdString();
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

    bool readInt(const QJsonValue& value, const std::string& at, int32_t* out) {
        const double number = value.toDouble();
        if (!value.isDouble() || std::floor(number) != number ||
            number < std::numeric_limits<int32_t>::min() || number > std::numeric_limits<int32_t>::max())
            return fail(at, "an integer (32 bits) is needed");
        *out = static_cast<int32_t>(number);
        return true;
    }

    bool readString(const QJsonValue& value, const std::string& at, std::string* out) {
        if (!value.isString()) return fail(at, "a string is needed");
        *out = value.toString().toStdString();
        if (out->find('\0') != std::string::npos) return fail(at, "a string may not hold NUL");
        return true;
    }

    bool readBinary(const QJsonValue& value, const std::string& at, qmhost::Cabinet& cabinet,
                    const std::string& key) {
        if (!value.isString()) return fail(at, "a base64 string is needed");
        const auto decoded = QByteArray::fromBase64Encoding(value.toString().toLatin1(),
                                                           QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) return fail(at, "not valid base64");
        // A link action is kept as a PDF document; anything else would only
        // fail later, in every run, without a word. PDF readers look for the
        // header in the first 1024 bytes.
        if (key == kAction && !decoded.decoded.isEmpty() && !decoded.decoded.left(1024).contains("%PDF-"))
            return fail(at, "not a PDF document (a link action is stored as one)");
        cabinet.put(key, qmhost::BinaryValue{decoded.decoded.toStdString()});
        return true;
    }

    bool readValue(const std::string& key, const QJsonValue& value, qmhost::Cabinet& cabinet,
                   const std::string& at, int depth) {
        switch (keyKind(key)) {
            case KeyKind::Int: {
                int32_t number = 0;
                if (!readInt(value, at, &number)) return false;
                cabinet.put(key, number);
                return true;
            }
            case KeyKind::Double:
                if (!value.isDouble()) return fail(at, "a number is needed");
                cabinet.put(key, value.toDouble());
                return true;
            case KeyKind::Bool:
                if (!value.isBool()) return fail(at, "true or false is needed");
                cabinet.put(key, value.toBool());
                return true;
            case KeyKind::String: {
                std::string text;
                if (!readString(value, at, &text)) return false;
                // An empty name is given the stamp manager's default name later.
                if (key == kStampName && !text.empty() && !ProfileStore::ValidName(text, &error, "stamp"))
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
        return readUnknown(key, value, cabinet, at, depth);
    }

    bool readUnknown(const std::string& key, const QJsonValue& value, qmhost::Cabinet& cabinet,
                     const std::string& at, int depth) {
        if (!(depth == 1 && stampIndexOf(key) >= 0)) unknownKeys.push_back(at);
        if (value.isBool()) {
            cabinet.put(key, value.toBool());
        } else if (value.isDouble()) {
            const double number = value.toDouble();
            int32_t whole = 0;
            if (std::floor(number) == number && readInt(value, at, &whole)) cabinet.put(key, whole);
            else cabinet.put(key, number);
            error.clear();
        } else if (value.isString()) {
            std::string text;
            if (!readString(value, at, &text)) return false;
            cabinet.put(key, qmhost::StringValue{text});
        } else if (value.isObject()) {
            const QJsonObject object = value.toObject();
            if (object.size() == 1 && object.contains(kBinaryMarker))
                return readBinary(object.value(kBinaryMarker), at, cabinet, key);
            auto sub = std::make_unique<qmhost::Cabinet>();
            if (!readEntries(object, *sub, at, depth + 1)) return false;
            cabinet.put(key, std::move(sub));
        } else {
            return fail(at, "arrays and null have no place in a profile");
        }
        return true;
    }

    bool checkStamps(const QJsonObject& object, qmhost::Cabinet& profile) {
        int64_t count = 0;
        if (object.contains(kStampCount)) {
            count = std::get<int32_t>(*profile.find(kStampCount));
            if (count < 0) return fail(kStampCount, "the number of stamps may not be negative");
        } else {
            while (count < std::numeric_limits<int32_t>::max() &&
                   object.contains(QString::fromStdString(kStampPrefix + std::to_string(count))))
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
        for (auto it = object.begin(); it != object.end(); ++it) {
            const std::string key = it.key().toStdString();
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

// A stored text as it is: Qt's plain UTF-8 conversion would drop a leading
// U+FEFF as a byte-order mark, and export then import would change the text.
QString storedText(const std::string& utf8) {
    QStringDecoder decode(QStringDecoder::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decode(QByteArrayView(utf8.data(), static_cast<qsizetype>(utf8.size())));
}

QJsonValue toJson(const std::string& key, const qmhost::CabinetValue& value) {
    if (const auto* number = std::get_if<int32_t>(&value)) return QJsonValue(static_cast<qint64>(*number));
    if (const auto* flag = std::get_if<bool>(&value)) return QJsonValue(*flag);
    if (const auto* real = std::get_if<double>(&value)) return QJsonValue(*real);
    if (const auto* string = std::get_if<qmhost::StringValue>(&value)) {
        const std::string text = key == kStampText ? toJsonLineBreaks(string->text) : string->text;
        return QJsonValue(storedText(text));
    }
    if (const auto* text = std::get_if<std::unique_ptr<qmhost::HostText>>(&value))
        return QJsonValue(storedText((*text)->utf8()));
    if (const auto* binary = std::get_if<qmhost::BinaryValue>(&value)) {
        const QString base64 = QString::fromLatin1(QByteArray::fromStdString(binary->bytes).toBase64());
        if (keyKind(key) == KeyKind::Binary) return QJsonValue(base64);
        return QJsonObject{{kBinaryMarker, base64}};
    }
    if (const auto* sub = std::get_if<std::unique_ptr<qmhost::Cabinet>>(&value)) {
        QJsonObject object;
        for (const auto& [subKey, subValue] : (*sub)->entries()) {
            const QJsonValue converted = toJson(subKey, subValue);
            if (!converted.isUndefined()) object.insert(QString::fromStdString(subKey), converted);
        }
        return object;
    }
    return QJsonValue(QJsonValue::Undefined);  // pointers are never stored
}

}  // namespace

KeyKind keyKind(std::string_view key) {
    const auto& kinds = knownKeyKinds();
    const auto it = kinds.find(key);
    return it == kinds.end() ? KeyKind::Unknown : it->second;
}

std::unique_ptr<qmhost::Cabinet> ProfileFromJson(const QByteArray& json, std::string* error,
                                                 std::vector<std::string>* unknownKeys) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        *error = "not valid JSON: " + parseError.errorString().toStdString() + " at byte " +
                 std::to_string(parseError.offset);
        return nullptr;
    }
    if (!document.isObject()) {
        *error = "a profile is a JSON object";
        return nullptr;
    }
    auto profile = std::make_unique<qmhost::Cabinet>();
    JsonReader reader;
    if (!reader.readProfile(document.object(), *profile)) {
        *error = reader.error;
        return nullptr;
    }
    if (unknownKeys) *unknownKeys = reader.unknownKeys;
    return profile;
}

QByteArray ProfileToJson(const qmhost::Cabinet& profile) {
    QJsonObject object;
    for (const auto& [key, value] : profile.entries()) {
        const QJsonValue converted = toJson(key, value);
        if (!converted.isUndefined()) object.insert(QString::fromStdString(key), converted);
    }
    // U+FEFF is written as its escape: Qt's JSON reader drops it when it
    // stands raw in a string. Its bytes occur only inside strings.
    return QJsonDocument(object).toJson(QJsonDocument::Indented).replace("\xEF\xBB\xBF", "\\ufeff");
}

}  // namespace qmcli
