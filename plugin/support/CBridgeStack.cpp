#include "support/CBridgeStack.h"

CBridgeStack::CBridgeStack() = default;

CBridgeStack::CBridgeStack(int32_t inCountHint) : CBridgeArray(inCountHint) {}

CBridgeStack::~CBridgeStack() = default;

void CBridgeStack::Clear() {
    void* item = nullptr;
    while (Pop(item)) {
    }
}

void CBridgeStack::Push(void* inItem) { Append(inItem); }

bool CBridgeStack::Pop(void*& outItem) {
    if (!GetAt(kLastIndex, outItem)) return false;
    RemoveAt(kLastIndex);
    return true;
}
