// "PDMetadata": registered so that setup finds it; its operations come with the
// features that use them.
#pragma once

#include "qmhost/QMBase.h"

struct PDMetadataTable {
    uint32_t size;  // sizeof(PDMetadataTable)
};
