// The host's record of one open PDF document, and the process-wide registry of
// open documents that turns PDDoc, CosDoc and CosObj handles into qpdf objects.
//
// Handles are numbers, never pointers: a document has a serial number (from 1,
// never reused); PDDoc and CosDoc are that serial; CosObj is {serial, slot + 1}
// in the document's ObjectTable; {0, 0} is the null object. Once a document is
// closed its serial is unknown, and every handle of it raises kHostErrBadHandle.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "cos/ObjectTable.h"
#include "qmhost/QMBase.h"

namespace qmhost {

class Document {
public:
    Document(uint32_t serial, std::unique_ptr<QPDF> qpdf, std::string path);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    uint32_t serial() const { return mSerial; }
    PDDoc pdDoc() const;
    CosDoc cosDoc() const;
    QPDF& qpdf() { return *mQpdf; }
    ObjectTable& objects() { return mObjects; }

    // The file the document was opened from or last saved to; empty when untitled.
    bool hasPath() const { return !mPath.empty(); }
    const std::string& path() const { return mPath; }
    void setPath(std::string path) { mPath = std::move(path); }
    // The path, or "untitled document N", for messages.
    std::string displayName() const;

    // Whether qpdf has written the document linearized (see writePdfFile).
    bool& writtenLinearized() { return mWrittenLinearized; }

    // References held on pages, by the slot of the page dictionary.
    void addPageRef(uint32_t slot) { ++mPageRefs[slot]; }
    // Gives one back; false when the page held none.
    bool dropPageRef(uint32_t slot);
    bool pageHeld(uint32_t slot) const { return mPageRefs.count(slot) != 0; }

private:
    uint32_t mSerial;
    std::unique_ptr<QPDF> mQpdf;
    std::string mPath;
    ObjectTable mObjects;
    std::unordered_map<uint32_t, uint32_t> mPageRefs;
    bool mWrittenLinearized = false;
};

// Registers a document made from qpdf (path empty for an untitled one) under the
// next serial. The registry owns it until closeDocument.
Document& registerDocument(std::unique_ptr<QPDF> qpdf, std::string path);
// Closes the document: it is destroyed and all its handles become stale.
void closeDocument(Document& document);
size_t openDocumentCount();
// Releases, in every open document, the handle-table slots of direct objects
// that nothing but the table holds (the ownership rule in ObjectTable.h). Call
// only while no plug-in code runs: after a command has returned. Answers how
// many slots were released.
size_t releaseUnheldObjects();
// From now on closing a document only forgets it: it leaves the registry and
// its handles go stale, but its objects are not freed. For a program that is
// about to end after its work is saved: the system takes the memory back at
// once, where freeing a large document object by object takes a second.
void abandonDocumentsOnClose();

// The open document of a handle, or null when the handle is unknown or closed.
Document* documentOf(PDDoc doc);
Document* documentOf(CosDoc doc);
// The same, raising kHostErrBadHandle (message naming op) instead of answering null.
Document& checkedDocument(PDDoc doc, const char* op);
Document& checkedDocument(CosDoc doc, const char* op);

// The document that a non-null object belongs to. Raises kHostErrBadParameter
// for the null object and kHostErrBadHandle for a stale or unknown one.
Document& documentOfObject(CosObj obj);
// The handle of a qpdf object of document: {0, 0} for any null (also an indirect
// reference to a missing object), else its slot. Never fails for a valid object.
CosObj handleFor(Document& document, QPDFObjectHandle object);
// The qpdf object of a handle: a direct null for {0, 0}. Raises kHostErrBadHandle
// for a stale or unknown handle.
QPDFObjectHandle objectOf(CosObj obj);
// The same without raising: false (out untouched) for a stale or unknown handle.
bool findObject(CosObj obj, QPDFObjectHandle* out);
// True for the null object {0, 0}.
inline bool isNullHandle(CosObj obj) { return obj.a == 0 && obj.b == 0; }
// "object 12 0 of /path/file.pdf", "a direct object of untitled document 3",
// "a stale object": for messages. Never raises.
std::string describeObject(CosObj obj);

}  // namespace qmhost
