// "PagePDEContent": a page's content as a page-content model, lent to a plug-in.
#pragma once

#include "qmhost/PDETypes.h"
#include "qmhost/QMBase.h"

struct PagePDEContentTable {
    uint32_t size;  // sizeof(PagePDEContentTable)

    // The page's content, read on first request; further requests answer the
    // same content and count one more loan. The content stays with the host:
    // give each loan back with pageReleasePDEContent, never with objectRelease.
    PDEContent (*pageAcquirePDEContent)(PDPage page, ExtensionID extension);
    // Gives one loan back; the content goes with the last. Answers the loans
    // still out. Raises kHostErrBadParameter when the page has none.
    int32_t (*pageReleasePDEContent)(PDPage page, ExtensionID extension);
    // Writes the lent content back as the page's /Contents (one stream) and
    // /Resources, and the forms it changed; answers true when it was written.
    bool (*pageSetPDEContent)(PDPage page, ExtensionID extension);
};
