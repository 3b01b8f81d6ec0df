// "PagePDEContent": registered so that setup finds it; its operations come with the
// features that use them.
#pragma once

#include "qmhost/QMBase.h"

struct PagePDEContentTable {
    uint32_t size;  // sizeof(PagePDEContentTable)
};
