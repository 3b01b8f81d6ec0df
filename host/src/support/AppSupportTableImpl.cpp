// The "AppSupport" table.
#include <cstdlib>
#include <cstring>

#include "support/AppSupportTableImpl.h"
#include "core/Callbacks.h"
#include "core/Raise.h"
#include "core/ScopeGuard.h"
#include "core/TableRegistry.h"
#include "support/FixedMath.h"
#include "support/FolderItems.h"
#include "support/HostMemory.h"
#include "support/HostVersion.h"
#include "support/Paths.h"
#include "support/Streams.h"
#include "qmhost/AppSupportTable.h"

namespace qmhost {
namespace {

void* memMalloc(uint64_t size) { return hostMemory().allocate(size); }
void memFree(void* block) { hostMemory().release(block); }

char* getErrorString(int32_t code, char* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return buffer;
    const std::string text = lastErrorMessage(code);
    const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return buffer;
}

ASPathName pathFromText(const char* text) {
    if (!text) raise(kHostErrBadParameter, "pathFromText: null text");
    return guarded("pathFromText", [&] { return makePath(text); });
}

int32_t pathGetText(ASPathName path, char* buffer, int32_t capacity) {
    std::string text;
    try {
        text = pathOf(path);
    } catch (const HostError&) {
        text.clear();
    }
    if (buffer && capacity > 0) {
        const size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<int32_t>(text.size());
}

void releasePath(ASPathName path) { releasePathHandle(path); }

ASStm memStmOpen(const char* data, int64_t size) {
    if (size < 0 || (size > 0 && !data)) raise(kHostErrBadParameter, "memStmOpen: bad data");
    return guarded("memStmOpen", [&] { return openMemoryStream(std::string(data ? data : "", static_cast<size_t>(size))); });
}

ASStm fileStmOpen(ASPathName path, int16_t mode) {
    return guarded("fileStmOpen", [&] { return openFileStream(pathOf(path), mode); });
}

ASStm procStmOpen(ASCallback readProc, void* clientData) {
    return guarded("procStmOpen", [&] { return openProcStream(readProc, clientData); });
}

int32_t stmRead(char* buffer, int32_t itemSize, int32_t count, ASStm stream) {
    if (!buffer || itemSize <= 0 || count < 0) raise(kHostErrBadParameter, "stmRead: bad arguments");
    HostStream& s = streamOf(stream);
    const int64_t want = static_cast<int64_t>(itemSize) * count;
    const int64_t got = guarded("stmRead", [&] { return s.read(buffer, want); });
    return static_cast<int32_t>(got / itemSize);
}

int32_t stmWrite(const char* buffer, int32_t itemSize, int32_t count, ASStm stream) {
    if (!buffer || itemSize <= 0 || count < 0) raise(kHostErrBadParameter, "stmWrite: bad arguments");
    HostStream& s = streamOf(stream);
    guarded("stmWrite", [&] { s.write(buffer, static_cast<int64_t>(itemSize) * count); });
    return count;
}

void stmClose(ASStm stream) { guarded("stmClose", [&] { closeStream(stream); }); }

ASFixed fixedMulEntry(ASFixed a, ASFixed b) { return fixedMul(a, b); }
ASFixed fixedDivEntry(ASFixed a, ASFixed b) {
    if (b == 0) raise(kHostErrBadParameter, "fixed division by zero");
    return fixedDiv(a, b);
}

void fixedMatrixConcat(ASFixedMatrix* result, const ASFixedMatrix* first, const ASFixedMatrix* second) {
    if (!result || !first || !second) raise(kHostErrBadParameter, "fixedMatrixConcat: null matrix");
    *result = concat(*first, *second);
}

bool fixedMatrixInvert(ASFixedMatrix* result, const ASFixedMatrix* m) {
    if (!result || !m) raise(kHostErrBadParameter, "fixedMatrixInvert: null matrix");
    return invert(*m, result);
}

void fixedMatrixTransform(ASFixedPoint* result, const ASFixedMatrix* m, const ASFixedPoint* p) {
    if (!result || !m || !p) raise(kHostErrBadParameter, "fixedMatrixTransform: null argument");
    *result = transform(*m, *p);
}

void fixedMatrixTransformRect(ASFixedRect* result, const ASFixedMatrix* m, const ASFixedRect* r) {
    if (!result || !m || !r) raise(kHostErrBadParameter, "fixedMatrixTransformRect: null argument");
    *result = transformRect(*m, *r);
}

HFTServer newServer(const char* name, ASCallback provide, void* clientData) {
    if (!name || !*name || !callbacks().procedure(provide))
        raise(kHostErrBadParameter, "newServer: a name and a provide callback are needed");
    return tables().addServer(name, provide, clientData, callbacks().extensionOf(provide));
}

HFT newTable(HFTServer, int32_t entryCount) {
    return guarded("newTable", [&] { return tables().newServedTable(entryCount); });
}

void replaceEntry(HFT table, int32_t entry, ASCallback callback, uint32_t) {
    ServedTable* served = tables().servedTable(table);
    if (!served) raise(kHostErrBadHandle, "replaceEntry: unknown table");
    if (entry < 1 || entry > static_cast<int32_t>(served->entries.size()))
        raise(kHostErrBadIndex, "replaceEntry: no entry " + std::to_string(entry));
    served->entries[static_cast<size_t>(entry - 1)] = callback;
}

ASProc getEntry(HFT table, int32_t entry) {
    ServedTable* served = tables().servedTable(table);
    if (!served || entry < 1 || entry > static_cast<int32_t>(served->entries.size())) return nullptr;
    return callbacks().procedure(served->entries[static_cast<size_t>(entry - 1)]);
}

void fileSysGetItemProps(ASPathName path, ASFileSysItemProps* props) {
    guarded("fileSysGetItemProps", [&] { itemProperties(pathOf(path), props); });
}

ASFolderIterator fileSysFirstFolderItem(ASPathName folder, ASPathName* outItem) {
    return guarded("fileSysFirstFolderItem", [&] {
        if (!outItem) raise(kHostErrBadParameter, "fileSysFirstFolderItem: no place for the item");
        std::string first;
        ASFolderIterator iterator = beginFolderIteration(pathOf(folder), &first);
        if (!iterator) return iterator;
        const auto endOnFailure = onFailure([&] { endFolderIteration(iterator); });
        *outItem = makePath(first);
        return iterator;
    });
}

bool fileSysNextFolderItem(ASFolderIterator iterator, ASPathName* outItem) {
    return guarded("fileSysNextFolderItem", [&] {
        if (!outItem) raise(kHostErrBadParameter, "fileSysNextFolderItem: no place for the item");
        std::string next;
        if (!nextFolderItem(iterator, &next)) return false;
        *outItem = makePath(next);
        return true;
    });
}

void fileSysEndFolderIteration(ASFolderIterator iterator) { endFolderIteration(iterator); }

const AppSupportTable kTable = {
    sizeof(AppSupportTable),
    memMalloc, memFree,
    getErrorString,
    pathFromText, pathGetText, releasePath,
    memStmOpen, fileStmOpen, procStmOpen, stmRead, stmWrite, stmClose,
    fixedMulEntry, fixedDivEntry, fixedMatrixConcat, fixedMatrixInvert, fixedMatrixTransform,
    fixedMatrixTransformRect,
    newServer, newTable, replaceEntry, getEntry,
    hostMajorVersion,
    fileSysGetItemProps, fileSysFirstFolderItem, fileSysNextFolderItem, fileSysEndFolderIteration,
};

}  // namespace

const AppSupportTable* appSupportTable() { return &kTable; }

}  // namespace qmhost
