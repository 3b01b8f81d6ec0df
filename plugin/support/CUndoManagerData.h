// The base of every undo record. It holds nothing itself; whoever holds a
// record owns it (the undo manager while it is on a stack, the caller after a Pop).
#pragma once

#include <cstddef>
#include <new>

class CUndoManagerData {
public:
    CUndoManagerData() = default;
    CUndoManagerData(const CUndoManagerData&) = delete;
    CUndoManagerData& operator=(const CUndoManagerData&) = delete;
    virtual ~CUndoManagerData() = default;

    // Records of every type are allocated together, apart from the rest of
    // the heap, and their memory is given back to the heap in whole chunks
    // once no record is left. A run makes several records a page and deletes
    // them all at once (a save, a new run); freed one by one among the
    // document's own small objects they would leave holes that no later
    // allocation of another size fills. The first form throws std::bad_alloc,
    // the nothrow form answers null; delete takes a record made by either.
    static void* operator new(std::size_t size);
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
    static void operator delete(void* record, std::size_t size) noexcept;
};
