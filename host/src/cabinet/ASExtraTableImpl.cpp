// The "ASExtra" table: cabinets and host texts.
#include <cstring>
#include <iterator>

#include "cabinet/ASExtraTableImpl.h"
#include "cabinet/Cabinet.h"
#include "cabinet/CabinetHandles.h"
#include "cabinet/CabinetStream.h"
#include "cabinet/HostText.h"
#include "core/Callbacks.h"
#include "core/Raise.h"
#include "qmhost/ASExtraTable.h"
#include "support/Streams.h"

namespace qmhost {
namespace {

std::string_view checkedKey(const char* key) {
    if (!key) raise(kHostErrBadParameter, "null cabinet key");
    const size_t length = std::strlen(key);
    if (length == 0) raise(kHostErrBadParameter, "empty cabinet key");
    if (length > static_cast<size_t>(kASCabMaxKeyLength))
        raise(kHostErrBadParameter, "cabinet key longer than " + std::to_string(kASCabMaxKeyLength) + " bytes");
    return {key, length};
}

std::string checkedBytes(const char* data, int64_t size, const char* what) {
    if (size < 0 || size > kASCabMaxValueSize || (size > 0 && !data))
        raise(kHostErrBadParameter, std::string("bad ") + what + " size " + std::to_string(size));
    return std::string(data ? data : "", static_cast<size_t>(size));
}

std::string checkedText(const char* text, const char* what) {
    if (!text) raise(kHostErrBadParameter, std::string("null ") + what);
    return checkedBytes(text, static_cast<int64_t>(std::strlen(text)), what);
}

// The value under the key when it has type T, else null.
template <class T>
const T* typed(ASCab cab, const char* key) {
    const CabinetValue* value = cabinetOf(cab).find(checkedKey(key));
    return value ? std::get_if<T>(value) : nullptr;
}

// Raises when putting `sub` under `parent` would nest too deep.
void checkDepth(const Cabinet& parent, int subHeight) {
    if (parent.depth() + subHeight > kASCabMaxDepth)
        raise(kHostErrBadParameter,
              "cabinets nest at most " + std::to_string(kASCabMaxDepth) + " levels deep");
}

ASCab cabNew() {
    return guarded("cabNew", [] { return adoptFreeCabinet(std::make_unique<Cabinet>()); });
}

void cabDestroy(ASCab cab) {
    if (!cab) return;
    std::unique_ptr<Cabinet> doomed = releaseFreeCabinet(cab);
}

ASCab cabDup(ASCab cab) {
    const Cabinet& source = cabinetOf(cab);
    return guarded("cabDup", [&] { return adoptFreeCabinet(source.clone()); });
}

void mergeInto(Cabinet& dest, Cabinet& src) {
    if (&dest == &src) return;
    if (src.contains(dest)) raise(kHostErrBadParameter, "a cabinet cannot be merged into one it holds");
    checkDepth(dest, src.height() - 1);
    // The entries leave src first: putting one may release the entry that holds
    // src itself, and nothing of src is touched after that.
    Cabinet::Entries moved = src.takeEntries();
    for (auto& entry : moved) dest.put(entry.first, std::move(entry.second));
}

void cabMerge(ASCab dest, ASCab src) {
    Cabinet& to = cabinetOf(dest);
    Cabinet& from = cabinetOf(src);
    guarded("cabMerge", [&] { mergeInto(to, from); });
}

void cabCopy(ASCab src, ASCab dest) {
    const Cabinet& from = cabinetOf(src);
    Cabinet& to = cabinetOf(dest);
    checkDepth(to, from.height() - 1);
    guarded("cabCopy", [&] {
        std::unique_ptr<Cabinet> copy = from.clone();
        mergeInto(to, *copy);
    });
}

void cabMakeEmpty(ASCab cab) { cabinetOf(cab).clear(); }

int32_t cabNumEntries(ASCab cab) { return static_cast<int32_t>(cabinetOf(cab).entries().size()); }

const char* cabKeyAt(ASCab cab, int32_t index) {
    const Cabinet::Entries& entries = cabinetOf(cab).entries();
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) return nullptr;
    return std::next(entries.begin(), index)->first.c_str();
}

bool cabKnown(ASCab cab, const char* key) { return cabinetOf(cab).find(checkedKey(key)) != nullptr; }

int32_t cabGetType(ASCab cab, const char* key) {
    const CabinetValue* value = cabinetOf(cab).find(checkedKey(key));
    return value ? valueTypeOf(*value) : kASCabValueNone;
}

void cabRemove(ASCab cab, const char* key) {
    Cabinet& cabinet = cabinetOf(cab);
    cabinet.remove(checkedKey(key));
}

void putValue(ASCab cab, const char* key, CabinetValue value) {
    Cabinet& cabinet = cabinetOf(cab);
    const std::string_view checked = checkedKey(key);
    guarded("cabPut", [&] { cabinet.put(checked, std::move(value)); });
}

int32_t cabGetInt(ASCab cab, const char* key, int32_t fallback) {
    const int32_t* value = typed<int32_t>(cab, key);
    return value ? *value : fallback;
}
void cabPutInt(ASCab cab, const char* key, int32_t value) { putValue(cab, key, value); }

bool cabGetBool(ASCab cab, const char* key, bool fallback) {
    const bool* value = typed<bool>(cab, key);
    return value ? *value : fallback;
}
void cabPutBool(ASCab cab, const char* key, bool value) { putValue(cab, key, value); }

double cabGetDouble(ASCab cab, const char* key, double fallback) {
    const double* value = typed<double>(cab, key);
    return value ? *value : fallback;
}
void cabPutDouble(ASCab cab, const char* key, double value) { putValue(cab, key, value); }

const char* cabGetString(ASCab cab, const char* key) {
    const StringValue* value = typed<StringValue>(cab, key);
    return value ? value->text.c_str() : nullptr;
}
void cabPutString(ASCab cab, const char* key, const char* text) {
    // Copied before the put, so that a text taken from this very entry stays good.
    putValue(cab, key, StringValue{checkedText(text, "string")});
}

ASText cabGetText(ASCab cab, const char* key) {
    const auto* value = typed<std::unique_ptr<HostText>>(cab, key);
    return value ? (*value)->handle() : nullptr;
}
void cabPutText(ASCab cab, const char* key, ASText text) {
    Cabinet& cabinet = cabinetOf(cab);
    const std::string_view checked = checkedKey(key);
    std::unique_ptr<HostText> owned = releaseFreeText(text);
    guarded("cabPutText", [&] { cabinet.put(checked, std::move(owned)); });
}

const void* cabGetBinary(ASCab cab, const char* key, int64_t* outSize) {
    const BinaryValue* value = typed<BinaryValue>(cab, key);
    if (outSize) *outSize = value ? static_cast<int64_t>(value->bytes.size()) : 0;
    return value ? value->bytes.data() : nullptr;
}
void cabPutBinary(ASCab cab, const char* key, const void* data, int64_t size) {
    putValue(cab, key, BinaryValue{checkedBytes(static_cast<const char*>(data), size, "binary")});
}

ASCab cabGetCab(ASCab cab, const char* key) {
    const auto* value = typed<std::unique_ptr<Cabinet>>(cab, key);
    return value ? (*value)->handle() : nullptr;
}
void cabPutCab(ASCab cab, const char* key, ASCab subCab) {
    Cabinet& parent = cabinetOf(cab);
    const std::string_view checked = checkedKey(key);
    Cabinet& sub = cabinetOf(subCab);
    if (sub.parent()) raise(kHostErrBadParameter, "the cabinet is held by another cabinet");
    if (sub.contains(parent)) raise(kHostErrBadParameter, "a cabinet cannot hold itself");
    checkDepth(parent, sub.height());
    std::unique_ptr<Cabinet> owned = releaseFreeCabinet(subCab);
    guarded("cabPutCab", [&] { parent.put(checked, std::move(owned)); });
}

void* cabGetPointer(ASCab cab, const char* key, const char* typeName) {
    if (!typeName) raise(kHostErrBadParameter, "null pointer type name");
    const auto* value = typed<std::shared_ptr<PointerRecord>>(cab, key);
    return value && (*value)->type() == typeName ? (*value)->pointer() : nullptr;
}
void cabPutPointer(ASCab cab, const char* key, const char* typeName, void* pointer, ASCallback destroyProc) {
    if (!typeName) raise(kHostErrBadParameter, "null pointer type name");
    if (destroyProc && !callbacks().procedure(destroyProc))
        raise(kHostErrBadParameter, "unknown destroy procedure");
    putValue(cab, key,
                                             std::make_shared<PointerRecord>(typeName, pointer, destroyProc));
}

void cabWrite(ASCab cab, ASStm stream) {
    const Cabinet& cabinet = cabinetOf(cab);
    HostStream& out = streamOf(stream);
    guarded("cabWrite", [&] { writeCabinet(cabinet, out); });
}

ASCab cabRead(ASStm stream) {
    HostStream& in = streamOf(stream);
    return guarded("cabRead", [&] { return adoptFreeCabinet(readCabinet(in)); });
}

ASText textFromUTF8(const char* utf8) {
    std::string bytes = checkedText(utf8, "text");
    return guarded("textFromUTF8", [&] { return adoptFreeText(std::make_unique<HostText>(std::move(bytes))); });
}

const char* textGetUTF8(ASText text) { return textOf(text).utf8().c_str(); }

void textDestroy(ASText text) {
    if (!text) return;
    std::unique_ptr<HostText> doomed = releaseFreeText(text);
}

const ASExtraTable kTable = {
    sizeof(ASExtraTable),
    cabNew, cabDestroy, cabDup, cabMerge, cabCopy, cabMakeEmpty,
    cabNumEntries, cabKeyAt, cabKnown, cabGetType, cabRemove,
    cabGetInt, cabPutInt, cabGetBool, cabPutBool, cabGetDouble, cabPutDouble,
    cabGetString, cabPutString, cabGetText, cabPutText, cabGetBinary, cabPutBinary,
    cabGetCab, cabPutCab, cabGetPointer, cabPutPointer,
    cabWrite, cabRead,
    textFromUTF8, textGetUTF8, textDestroy,
};

}  // namespace

const ASExtraTable* asExtraTable() { return &kTable; }

}  // namespace qmhost
