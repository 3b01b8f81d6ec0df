// Holds one acquired PDF page (PDModel docAcquirePage) and gives its
// reference back (pageRelease) when it goes.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

class CPDPageHolder {
public:
    CPDPageHolder() = default;
    // The page of the view's document; page numbers are 0-based. Host errors
    // leave as their 16-bit codes (the text in the error-message buffer).
    CPDPageHolder(AVDoc view, int32_t pageNumber);
    CPDPageHolder(PDDoc doc, int32_t pageNumber);
    ~CPDPageHolder();
    CPDPageHolder(const CPDPageHolder&) = delete;
    CPDPageHolder& operator=(const CPDPageHolder&) = delete;

    // Acquires the page, giving back the page held before (if any) once the new
    // one is had. On failure the holder keeps what it held.
    void Acquire(PDDoc doc, int32_t pageNumber);
    // Gives the page back now; the holder then holds none.
    void Release();

    PDPage GetPage() const { return mPDPage; }
    operator PDPage() const { return mPDPage; }

private:
    PDPage mPDPage = nullptr;
};
