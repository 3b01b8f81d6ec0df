#include "stamper/StampRunCounters.h"

#include <algorithm>
#include <limits>

void StampRunCounters::StartSingleDocument(PDDoc document, int32_t documentPageCount) {
    currentDocument = document;
    batchPageOffset = 0;
    batchTotalPages = documentPageCount;
    firstStampedPage = 0;
    currentPage = 0;
    pageCount = documentPageCount;
    bracketOffset = 0;
}

void StampRunCounters::StartBatchSequence() {
    batchPageOffset = 0;
    batchTotalPages = 0;
    firstStampedPage = -1;
    bracketOffset = 0;
}

void StampRunCounters::StartBatchDocument(PDDoc document, int32_t documentPageCount) {
    currentDocument = document;
    pageCount = documentPageCount;
    currentPage = 0;
}

void StampRunCounters::FinishBatchDocument() {
    // Saturates rather than wraps: a batch of more than 2^31 pages keeps counting
    // at the largest number instead of turning negative.
    const int64_t sum = int64_t{batchPageOffset} + pageCount;
    batchPageOffset = static_cast<int32_t>(std::clamp<int64_t>(
        sum, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

StampRunCounters& GetStampRunCounters() {
    // Made on first use, so no other static object can see it unmade.
    static StampRunCounters counters;
    return counters;
}
