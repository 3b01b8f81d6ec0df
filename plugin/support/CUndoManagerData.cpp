#include "support/CUndoManagerData.h"

#include <memory_resource>
#include <mutex>

#include <sanitizer/asan_interface.h>

namespace {

// The pool of every record and the count of records it holds. Records are
// made and deleted on the plug-in's thread; the lock only guards against a
// host that calls from another.
struct RecordPool {
    std::mutex lock;
    std::pmr::unsynchronized_pool_resource pool;
    std::size_t live = 0;
};

RecordPool& Records() {
    static RecordPool records;
    return records;
}

}  // namespace

void* CUndoManagerData::operator new(std::size_t size) {
    RecordPool& records = Records();
    const std::lock_guard<std::mutex> hold(records.lock);
    void* record = records.pool.allocate(size);
    ASAN_UNPOISON_MEMORY_REGION(record, size);
    ++records.live;
    return record;
}

void* CUndoManagerData::operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void CUndoManagerData::operator delete(void* record, std::size_t size) noexcept {
    if (!record) return;
    RecordPool& records = Records();
    const std::lock_guard<std::mutex> hold(records.lock);
    records.pool.deallocate(record, size);
    // A record used after its deletion is reported by the address sanitizer
    // as it would be without the pool.
    ASAN_POISON_MEMORY_REGION(record, size);
    if (--records.live == 0) records.pool.release();
}
