// A last-in, first-out stack of untyped pointers over CBridgeArray. Like the
// array, it never deletes its elements.
#pragma once

#include "support/CBridgeArray.h"

class CBridgeStack : public CBridgeArray {
public:
    CBridgeStack();
    // inCountHint is a size hint and is not used.
    explicit CBridgeStack(int32_t inCountHint);
    ~CBridgeStack() override;

    using CBridgeArray::operator=;

    // Pops until the stack is empty; the popped pointers are dropped, not deleted.
    virtual void Clear();
    // Append (inItem).
    virtual void Push(void* inItem);
    // Takes the top element into outItem and removes it; false (outItem left
    // alone) when the stack is empty.
    virtual bool Pop(void*& outItem);

    template <class T>
    bool Pop(T*& outItem) {
        void* item = nullptr;
        if (!Pop(item)) return false;
        outItem = static_cast<T*>(item);
        return true;
    }
};
