// The base of every undo record. It holds nothing itself; whoever holds a
// record owns it (the undo manager while it is on a stack, the caller after a Pop).
#pragma once

class CUndoManagerData {
public:
    CUndoManagerData() = default;
    CUndoManagerData(const CUndoManagerData&) = delete;
    CUndoManagerData& operator=(const CUndoManagerData&) = delete;
    virtual ~CUndoManagerData() = default;
};
