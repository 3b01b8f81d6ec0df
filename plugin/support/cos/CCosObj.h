// CCosObj: a value wrapper over one host Cos object (the "Cos" table) and the
// document it belongs to. It never owns the object: destroying a wrapper
// destroys nothing in the document. Host errors leave as their 16-bit codes
// (the host's text in the error-message buffer) unless an operation names its
// own code; wrong types fail the assertions named below (alert, code 1).
#pragma once

#include <cstdint>
#include <cstdio>
#include <map>

#include "qmhost/CosTable.h"

// The copies made so far by one deep copy: source indirect object -> its copy.
// A deep copy looks here before it copies an indirect object, so that a
// reference cycle is copied once and closes on the copies.
class CCosCopyMemo {
public:
    bool Find(CosObj source, CosObj* copy) const;
    void Add(CosObj source, CosObj copy);

private:
    // Keyed by the handle's two words: the host hands out one handle per
    // indirect object for the life of its document.
    std::map<uint64_t, CosObj> mCopies;
};

class CCosObj {
public:
    CCosObj();
    explicit CCosObj(CosDoc doc);
    // New direct objects of the value in doc.
    CCosObj(CosDoc doc, int32_t value);
    CCosObj(CosDoc doc, ASAtom name);
    CCosObj(CosDoc doc, bool value);
    CCosObj(CosDoc doc, double value);  // stored as a fixed number
    // Wraps obj.
    CCosObj(CosDoc doc, CosObj obj);
    virtual ~CCosObj();

    virtual void SetCosDoc(CosDoc doc);
    virtual CosDoc GetCosDoc() const;
    virtual CCosObj* SetCosObj(CosObj obj);  // answers this
    virtual bool IsNull() const;
    virtual int32_t GetType() const;  // CosNull..CosStream
    virtual bool IsIndirect() const;
    virtual bool IsScalar() const;  // null, integer, fixed, boolean or name
    // Runs the host's enumeration over the object's entries, calling OnEnumEntry
    // for each; true when it ran to the end. A code thrown by OnEnumEntry stops
    // the enumeration and is thrown on after the host returns.
    virtual bool Enumerate();
    // One entry: (key name, value) of a dictionary, (element, null) of an array.
    // Answer false to stop. Base: true.
    virtual bool OnEnumEntry(CosObj key, CosObj value);
    virtual void Attach(CosObj obj);
    virtual void Assign(const CCosObj& other);  // copies object and document

    CosObj GetCosObj() const { return mCosObj; }
    operator CosObj() const { return mCosObj; }

    // Make a new object of the value in the wrapper's document and hold it;
    // direct unless indirect is set.
    void SetInteger(int32_t value, bool indirect = false);
    void SetBoolean(bool value, bool indirect = false);
    void SetName(ASAtom name, bool indirect = false);
    void SetFixed(ASFixed value, bool indirect = false);
    void SetFloat(double value, bool indirect = false);  // through FixedFromDouble

    // Integer: its value; fixed: rounded half away from zero; other types:
    // assertion "0".
    int32_t GetInteger() const;
    // Integer: as 16.16 (clamped); fixed: as it is; other types: assertion "0".
    ASFixed GetFixed() const;
    double GetFloat() const;  // GetFixed() / 65536.0
    bool GetBoolean() const;  // asserts "CosObjGetType(mCosObj) == CosBoolean"
    ASAtom GetName() const;   // asserts "CosObjGetType(mCosObj) == CosName"

    // A copy in the same document. With share set an indirect object is its own
    // copy; otherwise scalars and strings become new direct objects and
    // dictionaries, arrays and streams are copied by their classes (a copy of
    // an indirect object is indirect). Each indirect object is copied once per
    // call, so reference cycles end.
    CosObj Copy(bool share) const;
    CosObj Copy(bool share, CCosCopyMemo& memo) const;

    // Prints the object for diagnosis; an indirect container met again inside
    // itself prints "(cycle)".
    void Dump(FILE* file) const;

protected:
    void Init();
    void DumpValue(FILE* file, int32_t type) const;

    CosObj mCosObj;
    CosDoc mCosDoc;
};

// The host's null object ({0, 0} before the Cos table is imported).
CosObj CosNullObj();
