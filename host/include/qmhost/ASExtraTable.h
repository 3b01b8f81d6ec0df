// "ASExtra": cabinets and host text objects.
//
// A cabinet is a store of keyed, typed values that nest. Keys are NUL-terminated
// texts of 1 to kASCabMaxKeyLength bytes, compared byte for byte; a cabinet holds
// at most one value per key. Value types: 32-bit integer, boolean, double, string
// (bytes without NUL, UTF-8 by convention), host text, binary block (any bytes,
// with its length), sub-cabinet, and typed pointer (kept in memory only).
//
// Ownership. A cabinet made by cabNew, cabDup or cabRead belongs to the caller,
// who ends it with cabDestroy or gives it to another cabinet with cabPutCab. A
// cabinet put into another belongs to that parent; its handle keeps naming it
// until the parent drops it (the key is put again or removed, or the parent is
// destroyed). Texts follow the same rule with textFromUTF8 / cabPutText /
// textDestroy. Strings and binaries are copied by put; the caller keeps its own.
// What get answers (strings, texts, binaries, sub-cabinets, keys) is held by the
// cabinet: valid until that key is put again or removed or the cabinet is
// destroyed.
//
// Missing keys and other types. A typed get of a key that is missing, or that
// holds a value of another type, answers the default it is given (integer,
// boolean, double) or null. A put replaces the key's value whatever its type.
//
// Nesting is bounded: a cabinet with its sub-cabinets spans at most
// kASCabMaxDepth levels (a cabinet without sub-cabinets is one level); a put,
// merge or copy that would go deeper raises kHostErrBadParameter, and so does one
// that would make a cabinet contain itself.
//
// Errors common to every member: a null, unknown or stale cabinet or text handle
// raises kHostErrBadHandle; a null, empty or overlong key raises
// kHostErrBadParameter. Raising members change nothing.
//
// Streams. cabWrite writes a cabinet in the host's cabinet format (a signature,
// a format version, a checksum and the body length, then every entry with its
// type, key length and value length); cabRead reads one back and checks every
// length against what is there. Pointer values are never written.
//
// Host texts hold UTF-8 bytes as given (without NUL); no conversion takes place.
#pragma once

#include "qmhost/QMBase.h"

// Value types, as cabGetType answers them.
enum : int32_t {
    kASCabValueNone = 0,  // no such key
    kASCabValueInt = 1,
    kASCabValueBool = 2,
    kASCabValueDouble = 3,
    kASCabValueString = 4,
    kASCabValueText = 5,
    kASCabValueBinary = 6,
    kASCabValueCab = 7,
    kASCabValuePointer = 8,
};

constexpr int32_t kASCabMaxKeyLength = 1024;               // bytes
constexpr int32_t kASCabMaxDepth = 32;                     // levels
constexpr int64_t kASCabMaxValueSize = int64_t(256) << 20;  // bytes of one string, text or binary

// Called once with the pointer when the last cabinet entry that holds it lets it
// go (the key is put again or removed, or its cabinet is destroyed). Entries
// copied by cabDup or cabCopy share the pointer. Handed over as a callback made
// with makeCallback. It must not throw; what it throws is ignored.
typedef void (*ASCabPointerDestroyProc)(void* pointer);

struct ASExtraTable {
    uint32_t size;  // sizeof(ASExtraTable)

    // --- cabinets: life
    // A new empty cabinet, owned by the caller. Raises kHostErrNoMemory.
    ASCab (*cabNew)(void);
    // Destroys a cabinet the caller owns, with everything in it; null is ignored.
    // Raises kHostErrBadParameter for a cabinet held by another cabinet.
    void (*cabDestroy)(ASCab cab);
    // A deep copy (sub-cabinets and texts copied, pointers shared), owned by the caller.
    ASCab (*cabDup)(ASCab cab);
    // Moves every entry of src into dest (dest's entries of the same keys are
    // replaced); src is left empty and stays its owner's. The same cabinet twice
    // does nothing. Raises kHostErrBadParameter when src contains dest.
    void (*cabMerge)(ASCab dest, ASCab src);
    // Puts a deep copy of every entry of src into dest (same keys replaced); src is unchanged.
    void (*cabCopy)(ASCab src, ASCab dest);
    // Removes every entry.
    void (*cabMakeEmpty)(ASCab cab);

    // --- cabinets: keys
    // The number of entries.
    int32_t (*cabNumEntries)(ASCab cab);
    // The key at index (keys in ascending byte order), held by the cabinet; null
    // outside 0..count-1.
    const char* (*cabKeyAt)(ASCab cab, int32_t index);
    // Whether the key is present.
    bool (*cabKnown)(ASCab cab, const char* key);
    // The key's value type, kASCabValueNone when it is missing.
    int32_t (*cabGetType)(ASCab cab, const char* key);
    // Removes the key with its value; a missing key is no error.
    void (*cabRemove)(ASCab cab, const char* key);

    // --- cabinets: typed values (see "Missing keys and other types" above)
    int32_t (*cabGetInt)(ASCab cab, const char* key, int32_t defaultValue);
    void (*cabPutInt)(ASCab cab, const char* key, int32_t value);
    bool (*cabGetBool)(ASCab cab, const char* key, bool defaultValue);
    void (*cabPutBool)(ASCab cab, const char* key, bool value);
    double (*cabGetDouble)(ASCab cab, const char* key, double defaultValue);
    void (*cabPutDouble)(ASCab cab, const char* key, double value);
    // The string, held by the cabinet, or null.
    const char* (*cabGetString)(ASCab cab, const char* key);
    // Copies the text (kHostErrBadParameter for null or longer than kASCabMaxValueSize).
    void (*cabPutString)(ASCab cab, const char* key, const char* text);
    // The text object, held by the cabinet (never destroy it), or null.
    ASText (*cabGetText)(ASCab cab, const char* key);
    // The cabinet takes the text, which must be the caller's own (made by
    // textFromUTF8): a text held by a cabinet raises kHostErrBadParameter.
    void (*cabPutText)(ASCab cab, const char* key, ASText text);
    // The block, held by the cabinet, with its stored length in *outSize (may be
    // null); null and 0 when there is none. An empty block answers a non-null pointer.
    const void* (*cabGetBinary)(ASCab cab, const char* key, int64_t* outSize);
    // Copies size bytes (0..kASCabMaxValueSize; data may be null only for 0).
    void (*cabPutBinary)(ASCab cab, const char* key, const void* data, int64_t size);
    // The sub-cabinet, held by cab (never destroy it), or null.
    ASCab (*cabGetCab)(ASCab cab, const char* key);
    // cab takes the sub-cabinet, which must be the caller's own (not held by any
    // cabinet) and must not be cab or contain it; otherwise, or when the nesting
    // would pass kASCabMaxDepth, raises kHostErrBadParameter and the caller keeps it.
    void (*cabPutCab)(ASCab cab, const char* key, ASCab subCab);
    // The pointer when the key holds a pointer put with the same type name
    // (compared byte for byte), else null. typeName must not be null.
    void* (*cabGetPointer)(ASCab cab, const char* key, const char* typeName);
    // Stores the pointer with its type name (not null) and destroy procedure (a
    // callback of type ASCabPointerDestroyProc, or null for none). An unknown
    // callback raises kHostErrBadParameter.
    void (*cabPutPointer)(ASCab cab, const char* key, const char* typeName, void* pointer,
                          ASCallback destroyProc);

    // --- cabinets: streams
    // Writes the cabinet (without its pointer values) to the stream. Raises the
    // stream's error (kHostErrFileWrite, kHostErrStream), kHostErrBadHandle for a
    // bad stream, kHostErrBadParameter when the written form would pass 1 GiB.
    void (*cabWrite)(ASCab cab, ASStm stream);
    // Reads one cabinet written by cabWrite from where the stream stands and
    // answers it, owned by the caller. Damaged, truncated or foreign data raises
    // kHostErrFileRead with a message that says what is wrong and where; the
    // stream's own errors pass through. Reads no byte past the cabinet's end.
    ASCab (*cabRead)(ASStm stream);

    // --- host texts
    // A new text holding a copy of the UTF-8 bytes, owned by the caller.
    // Raises kHostErrBadParameter for null or longer than kASCabMaxValueSize.
    ASText (*textFromUTF8)(const char* utf8);
    // The text's UTF-8 bytes, NUL-terminated, held by the text.
    const char* (*textGetUTF8)(ASText text);
    // Destroys a text the caller owns; null is ignored. Raises
    // kHostErrBadParameter for a text held by a cabinet.
    void (*textDestroy)(ASText text);
};
