// "Cos": the PDF object model of a document. Objects belong to one CosDoc and
// stay valid while their document is open; a closed document's objects raise
// kHostErrBadHandle. Every operation may raise kHostErrBadHandle for a stale
// object and kHostErrBadType for an object of the wrong type.
#pragma once

#include "qmhost/QMBase.h"

// Called for each entry: for a dictionary (key name object, value); for an
// array (element, null object). Answer false to stop.
typedef bool (*CosObjEnumProc)(CosObj key, CosObj value, void* clientData);

// Open modes of a stream's data.
enum : int16_t {
    kCosStreamStored = 1,   // the bytes as stored in the file (still encoded)
    kCosStreamDecoded = 2,  // the data with every filter removed
};

struct CosTable {
    uint32_t size;  // sizeof(CosTable)

    // --- any object
    CosObj (*newNull)(void);  // the null object {0, 0}; never raises
    int32_t (*objGetType)(CosObj obj);  // CosNull..CosStream; null -> CosNull
    bool (*objIsIndirect)(CosObj obj);
    // Equal: both null; the same indirect object; the same direct object; or two
    // direct scalars or strings of the same type and value. Never raises.
    bool (*objEqual)(CosObj a, CosObj b);
    CosDoc (*objGetDoc)(CosObj obj);  // raises kHostErrBadParameter for the null object
    // Runs proc over a dictionary's entries (in ascending key order) or an array's
    // elements (in index order), over a snapshot taken first. Answers true when it
    // ran to the end. Exceptions thrown by proc pass through.
    bool (*objEnum)(CosObj obj, CosObjEnumProc proc, void* clientData);
    // A deep copy of obj in destination. Indirect objects are copied once per
    // (source document, destination) and their copies shared; a page tree
    // (/Type /Pages) is never copied: references to it become null. A direct obj
    // gives a direct copy. Copying within one document raises kHostErrBadParameter.
    CosObj (*objCopy)(CosObj obj, CosDoc destination);

    // --- scalars and strings; `indirect` makes the new object an indirect object
    CosObj (*newInteger)(CosDoc doc, bool indirect, int32_t value);
    CosObj (*newFixed)(CosDoc doc, bool indirect, ASFixed value);
    CosObj (*newBoolean)(CosDoc doc, bool indirect, bool value);
    CosObj (*newName)(CosDoc doc, bool indirect, ASAtom name);
    // A string of length bytes (may hold NULs).
    CosObj (*newString)(CosDoc doc, bool indirect, const char* bytes, int32_t length);
    // Integer: its value (clamped to 32 bits). Fixed: rounded half away from zero.
    int32_t (*integerValue)(CosObj obj);
    // Integer: value << 16 (clamped). Fixed (a PDF real): to 16.16, rounded, clamped.
    ASFixed (*fixedValue)(CosObj obj);
    bool (*booleanValue)(CosObj obj);
    ASAtom (*nameValue)(CosObj obj);
    // The bytes of a string; *outLength receives their count. The pointer stays
    // valid while the document is open.
    const char* (*stringValue)(CosObj obj, int32_t* outLength);

    // --- dictionaries (keys are name atoms)
    CosObj (*newDict)(CosDoc doc, bool indirect, int32_t entryCountHint);
    CosObj (*dictGet)(CosObj dict, ASAtom key);  // the null object when absent
    bool (*dictKnown)(CosObj dict, ASAtom key);
    // Puts value under key; putting the null object removes the key. A direct value
    // is stored by reference: a handle kept after the put still reaches it.
    void (*dictPut)(CosObj dict, ASAtom key, CosObj value);
    void (*dictRemove)(CosObj dict, ASAtom key);  // an absent key is not an error

    // --- arrays
    CosObj (*newArray)(CosDoc doc, bool indirect, int32_t sizeHint);
    int32_t (*arrayLength)(CosObj array);
    CosObj (*arrayGet)(CosObj array, int32_t index);  // raises kHostErrBadIndex outside 0..length-1
    // Replaces element index; index == length appends. Raises kHostErrBadIndex otherwise.
    void (*arrayPut)(CosObj array, int32_t index, CosObj value);
    // Inserts before index (0..length). Raises kHostErrBadIndex otherwise.
    void (*arrayInsert)(CosObj array, int32_t index, CosObj value);
    // Removes the first element equal to value (objEqual); nothing when absent.
    void (*arrayRemove)(CosObj array, CosObj value);
    void (*arrayRemoveAt)(CosObj array, int32_t index);  // raises kHostErrBadIndex

    // --- streams (always indirect)
    // A new stream whose dictionary is a copy of attributes (a dictionary or null;
    // its /Length is ignored) and whose data is read from source: from offset
    // (-1: where the source stands) for length bytes (-1: to its end). When
    // encodeSource is non-zero the bytes are plain data and the host encodes them
    // with the filters the dictionary names (FlateDecode; others raise
    // kHostErrFilter); when zero the bytes are stored as given. encodeParms is
    // reserved (null). The source stays open and is not closed.
    CosObj (*newStream)(CosDoc doc, bool indirect, ASStm source, int64_t offset,
                        int16_t encodeSource, CosObj attributes, CosObj encodeParms,
                        int64_t length);
    CosObj (*streamDict)(CosObj stream);  // the dictionary, which may be edited in place
    // A read stream over the data, kCosStreamStored or kCosStreamDecoded. Raises
    // kHostErrFilter when the data cannot be decoded. Close with AppSupport stmClose.
    ASStm (*streamOpen)(CosObj stream, int16_t mode);
    int64_t (*streamLength)(CosObj stream);  // the stored (encoded) length in bytes

    // --- documents
    CosObj (*docGetRoot)(CosDoc doc);     // the catalog dictionary
    CosObj (*docGetTrailer)(CosDoc doc);  // the trailer dictionary

    // --- handles of direct objects (an older host's table ends before these)
    // A handle of a direct object stays valid while the object is held by a
    // dictionary, an array or a stream of the document, and at least until the
    // command that made it returns. A plug-in that is done with a piece of work
    // inside a long command (one page of a run) and keeps none of the handles
    // it got meanwhile may let the host drop them earlier:
    // A mark of the handles doc has handed out so far.
    uint32_t (*docHandleMark)(CosDoc doc);
    // Makes stale the handles doc handed out since mark whose direct objects
    // nothing in the document holds, and frees those objects. Answers how many.
    int32_t (*docReleaseUnheld)(CosDoc doc, uint32_t mark);
};
