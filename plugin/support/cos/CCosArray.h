// CCosArray: a Cos array with typed access by index (0-based).
#pragma once

#include <cstdint>
#include <cstdio>

#include "support/cos/CCosObj.h"

class CCosArray : public CCosObj {
public:
    // Four signed 16-bit values written as four integers, in this order.
    struct Rect16 {
        int16_t left, top, right, bottom;
    };

    // The null object.
    CCosArray();
    // A new array in doc; a host error throws kErrCosObject (-1).
    CCosArray(CosDoc doc, bool indirect, int32_t size);
    // Wraps array; asserts "CosObjGetType(inCosArray) == CosArray".
    CCosArray(CosDoc doc, CosObj array);
    ~CCosArray() override;

    int32_t GetLength() const;
    // The element; a host error (an index outside 0..length-1) throws
    // kErrNotFound (8000).
    CosObj GetValue(int32_t index) const;
    // Typed reads through CCosObj's getters (their assertions apply).
    int32_t GetInteger(int32_t index) const;
    bool GetBoolean(int32_t index) const;
    ASAtom GetName(int32_t index) const;
    double GetFloat(int32_t index) const;
    // The string's bytes (valid while the document is open) and their count.
    const char* GetString(int32_t index, int32_t* outLength) const;

    // Put replaces the element at index (index == length appends); Insert puts
    // before index (0..length). On a host error the host's text is shown at once
    // (an alert) and put into the error-message buffer, and the host's code
    // (low 16 bits) is thrown.
    void PutValue(int32_t index, CosObj value);
    void InsertValue(int32_t index, CosObj value);
    void PutInteger(int32_t index, int32_t value);
    void PutName(int32_t index, ASAtom value);
    void PutBoolean(int32_t index, bool value);
    void PutString(int32_t index, const char* text);
    void PutFloat(int32_t index, double value);
    void InsertInteger(int32_t index, int32_t value);
    void InsertName(int32_t index, ASAtom value);
    void InsertBoolean(int32_t index, bool value);
    void InsertString(int32_t index, const char* text);
    void InsertFloat(int32_t index, double value);
    // The four values at index .. index + 3.
    void PutRect16(int32_t index, const Rect16& rect);
    void InsertRect16(int32_t index, const Rect16& rect);

    // Removes the first element equal to value (none: nothing) / the element at index.
    void RemoveValue(CosObj value);
    void RemoveAt(int32_t index);

    // A new array of the same length, each element copied by CCosObj::Copy
    // with the share flag.
    CosObj Copy(bool indirect, bool share);
    CosObj Copy(bool indirect, bool share, CCosCopyMemo& memo);

    // "[", each element, "]".
    void Dump(FILE* file) const;

private:
    CosObj Make(const CCosObj& value) const { return value.GetCosObj(); }
    CosObj MakeString(const char* text) const;
};
