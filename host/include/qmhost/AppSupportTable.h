// "AppSupport": memory, error texts, byte streams, paths, fixed-point
// arithmetic and table servers.
#pragma once

#include "qmhost/QMBase.h"

// Reads up to size bytes into buffer; answers the count read, 0 at the end of
// the data, a negative value on a read error. Used by procedure streams.
typedef int32_t (*ASStmReadProc)(char* buffer, int32_t size, void* clientData);

// Answers the table for a version, or null to refuse that version.
typedef HFT (*HFTServerProvideProc)(HFTServer server, uint32_t version, void* clientData);

// Stream open modes for files.
enum : int16_t {
    kASStmRead = 1,   // read an existing file
    kASStmWrite = 2,  // create or truncate, then write
};

// An item's properties (72 bytes, native byte order), filled by fileSysGetItemProps.
enum : uint32_t {
    kASFileSysFile = 0,    // a regular file
    kASFileSysFolder = 1,  // a folder
    kASFileSysOther = 2,   // anything else (a device, a socket, ...)
};
struct ASFileSysItemProps {
    uint32_t size;          // +0  the caller sets sizeof(ASFileSysItemProps), 72
    uint32_t isThere;       // +4  1: the item exists
    uint32_t type;          // +8  kASFileSysFile, kASFileSysFolder or kASFileSysOther
    uint32_t fileSize;      // +12 a file's length in bytes, low 32 bits (0 for others)
    uint32_t fileSizeHigh;  // +16 the length's high 32 bits
    uint32_t readOnly;      // +20 1: this process may not write it
    uint32_t hidden;        // +24 1: its name begins with "."
    uint32_t modifiedLow;   // +28 last change, seconds since 1970 UTC, low 32 bits
    uint32_t modifiedHigh;  // +32 high 32 bits
    uint32_t reserved[9];   // +36 0
};
static_assert(sizeof(ASFileSysItemProps) == 72, "the item properties record is 72 bytes");

// A walk over the items of a folder (host-chosen handle).
typedef struct _t_ASFolderIterator* ASFolderIterator;

struct AppSupportTable {
    uint32_t size;  // sizeof(AppSupportTable)

    // --- memory
    // A block of at least size bytes, or null when it cannot be had. Never raises.
    void* (*memMalloc)(uint64_t size);
    // Frees a block of memMalloc; null is ignored. Never raises.
    void (*memFree)(void* block);

    // --- errors
    // Writes the text of a host error code into buffer (NUL-terminated, at most
    // capacity bytes) and returns buffer. For a code raised with a specific
    // message (a file name, an object) the text is that message. Never raises.
    char* (*getErrorString)(int32_t code, char* buffer, int32_t capacity);

    // --- paths of the default (POSIX) file system
    // A path object from a UTF-8 path text. Raises kHostErrBadParameter for an empty
    // text and kHostErrPathTooLong beyond PATH_MAX. Release with releasePath.
    ASPathName (*pathFromText)(const char* text);
    // The path text into buffer (at most capacity bytes, NUL-terminated); answers the
    // full length, which may exceed capacity - 1 (then the text is cut). Never raises.
    int32_t (*pathGetText)(ASPathName path, char* buffer, int32_t capacity);
    // Releases a path object; null is ignored. Never raises.
    void (*releasePath)(ASPathName path);

    // --- streams
    // A read stream over a copy of size bytes of data. Raises kHostErrNoMemory.
    ASStm (*memStmOpen)(const char* data, int64_t size);
    // A stream on a file: mode kASStmRead or kASStmWrite. Raises kHostErrFileNotFound or
    // kHostErrFileOpen with the path in the message.
    ASStm (*fileStmOpen)(ASPathName path, int16_t mode);
    // A read stream that pulls its data through readProc (made with makeCallback,
    // of type ASStmReadProc) with clientData. Raises kHostErrBadParameter for null.
    ASStm (*procStmOpen)(ASCallback readProc, void* clientData);
    // Reads up to count items of itemSize bytes; answers the items read, 0 at the
    // end. Raises kHostErrStream on a read error or a write-only stream.
    int32_t (*stmRead)(char* buffer, int32_t itemSize, int32_t count, ASStm stream);
    // Writes count items of itemSize bytes; answers count. Raises kHostErrFileWrite
    // (with the path) on failure or kHostErrStream for a read-only stream.
    int32_t (*stmWrite)(const char* buffer, int32_t itemSize, int32_t count, ASStm stream);
    // Closes the stream (a file stream flushes; a failed flush raises kHostErrFileWrite
    // after the stream is closed). Null is ignored.
    void (*stmClose)(ASStm stream);

    // --- fixed-point arithmetic (16.16; results are rounded to nearest and clamped)
    ASFixed (*fixedMul)(ASFixed a, ASFixed b);
    ASFixed (*fixedDiv)(ASFixed a, ASFixed b);  // raises kHostErrBadParameter for b == 0
    // result = the transform that applies second first and then first
    // (for row vectors: result = second x first). result may alias either argument.
    void (*fixedMatrixConcat)(ASFixedMatrix* result, const ASFixedMatrix* first,
                              const ASFixedMatrix* second);
    // result = the inverse of m; answers false (result untouched) when m is singular.
    bool (*fixedMatrixInvert)(ASFixedMatrix* result, const ASFixedMatrix* m);
    void (*fixedMatrixTransform)(ASFixedPoint* result, const ASFixedMatrix* m,
                                 const ASFixedPoint* point);
    // The normalised bounding box of the rectangle's four corners under m.
    void (*fixedMatrixTransformRect)(ASFixedRect* result, const ASFixedMatrix* m,
                                     const ASFixedRect* rect);

    // --- tables offered by plug-ins
    // A table server under name; the host calls provide (a callback of type
    // HFTServerProvideProc) when getTable asks for that name. Null when the name is
    // taken. Never raises for valid arguments.
    HFTServer (*newServer)(const char* name, ASCallback provide, void* clientData);
    // A table of entryCount entries (numbered 1..entryCount), all empty.
    HFT (*newTable)(HFTServer server, int32_t entryCount);
    // Sets entry number `entry` (1-based); raises kHostErrBadIndex outside the table.
    void (*replaceEntry)(HFT table, int32_t entry, ASCallback callback, uint32_t flags);
    // The procedure of entry number `entry`, or null when empty or outside. Never raises.
    ASProc (*getEntry)(HFT table, int32_t entry);

    // --- the host
    // The host's major version, a setting of the host: kDefaultHostMajorVersion (8)
    // unless the host was asked for another (5 with `--host-version 5`). Never raises.
    int32_t (*getHostMajorVersion)(void);

    // --- items of the default file system
    // Fills *props for the file or folder at path. Raises kHostErrFileNotFound when
    // there is none, kHostErrBadParameter when props->size is not 72.
    void (*fileSysGetItemProps)(ASPathName path, ASFileSysItemProps* props);
    // Begins a walk over the folder's items in byte order of their names ("." and
    // ".." left out, subfolders included, a snapshot taken now); writes the first
    // item's path (folder + "/" + name; the caller releases it) into *outItem and
    // answers the walk, or answers null (nothing written) for an empty folder.
    // Raises kHostErrFileNotFound when path names no folder.
    ASFolderIterator (*fileSysFirstFolderItem)(ASPathName folder, ASPathName* outItem);
    // The next item's path into *outItem (the caller releases it); false, nothing
    // written, after the last. Raises kHostErrBadHandle for a walk not begun or ended.
    bool (*fileSysNextFolderItem)(ASFolderIterator iterator, ASPathName* outItem);
    // Ends the walk; null is ignored. Never raises.
    void (*fileSysEndFolderIteration)(ASFolderIterator iterator);
};
