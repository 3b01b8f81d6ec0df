// "PDModel": documents and pages. Page numbers are 0-based.
#pragma once

#include "qmhost/QMBase.h"

struct PDModelTable {
    uint32_t size;  // sizeof(PDModelTable)

    // Opens a PDF file. A damaged file is repaired where possible; an encrypted
    // one opens when it needs no user password. Raises kHostErrFileNotFound,
    // kHostErrFileOpen, kHostErrBadPDF or kHostErrEncrypted, the message naming the file.
    // Close with docClose.
    PDDoc (*docOpen)(ASPathName path);
    // A new, untitled document without pages.
    PDDoc (*docCreate)(void);
    // Writes the document to path through a temporary file in the target folder
    // that is renamed over the target; on failure the target is left as it was and
    // kHostErrFileWrite is raised. Afterwards the document's path is `path`.
    void (*docSave)(PDDoc doc, ASPathName path);
    // Closes the document; its pages and objects become stale. Null is ignored.
    void (*docClose)(PDDoc doc);
    int32_t (*docGetNumPages)(PDDoc doc);
    CosDoc (*docGetCosDoc)(PDDoc doc);
    // The document's file path, or null for an untitled document (never raises
    // for that). Release with AcroSupport releasePath.
    ASPathName (*docAcquirePath)(PDDoc doc);

    // A page with one reference taken; raises kHostErrBadIndex outside 0..count-1.
    PDPage (*docAcquirePage)(PDDoc doc, int32_t pageNumber);
    void (*pageAcquire)(PDPage page);  // takes one more reference
    void (*pageRelease)(PDPage page);  // gives one back; null is ignored
    CosObj (*pageGetCosObj)(PDPage page);
    PDDoc (*pageGetDoc)(PDPage page);
    int32_t (*pageGetNumber)(PDPage page);  // its current 0-based number
    // The crop box, else the media box (both may be inherited), normalised.
    void (*pageGetBox)(PDPage page, ASFixedRect* box);
    // Maps user space to the page as displayed: /Rotate (0, 90, 180, 270, clockwise
    // on screen) applied, y pointing up, the displayed box's lower-left corner at
    // the origin.
    void (*pageGetDefaultMatrix)(PDPage page, ASFixedMatrix* matrix);
};
