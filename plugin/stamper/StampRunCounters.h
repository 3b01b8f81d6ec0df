// The process-wide counters that page numbers, totals and Bates numbers of a
// text stamp are computed from, and the document whose file name, path and
// information entries the stamp text may show. One thread; no lock.
//
// Who sets what:
// - the interactive stamping run and the preview: StartSingleDocument when the
//   document is known (the preview then sets currentPage to the page it shows);
// - the batch command: StartBatchSequence once per sequence, StartBatchDocument
//   for each document before its first stamp is built, firstStampedPage at the
//   first page that a stamp's range holds, FinishBatchDocument after the
//   document's last page;
// - the text stamp: currentPage before each page it writes;
// - the expansion of a stamp text: bracketOffset, for each bracket number.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

struct StampRunCounters {
    // The document whose file name, path and information entries are shown (not
    // owned); null means none.
    PDDoc currentDocument = nullptr;
    int32_t batchPageOffset = 0;   // pages of the documents finished earlier in the batch
    int32_t batchTotalPages = 0;   // pages of the whole batch
    int32_t firstStampedPage = 0;  // 0-based page index at which numbering starts
    int32_t currentPage = 0;       // 0-based index of the page about to be stamped
    int32_t pageCount = 0;         // pages of the current document
    int32_t bracketOffset = 0;     // n - 1 for the bracket number being expanded

    // An interactive run or a preview of one document of pageCount pages: the
    // document, no earlier pages, the document's pages as the batch total,
    // numbering from page 0, the current page 0, no bracket offset.
    void StartSingleDocument(PDDoc document, int32_t documentPageCount);
    // The start of a batch sequence: no earlier pages, no total yet, no page
    // stamped yet (firstStampedPage -1), no bracket offset.
    void StartBatchSequence();
    // A document of the batch: the document, its page count, the current page 0.
    void StartBatchDocument(PDDoc document, int32_t documentPageCount);
    // The end of a batch document: its pages are added to batchPageOffset.
    void FinishBatchDocument();
};

// The one record of the process.
StampRunCounters& GetStampRunCounters();
