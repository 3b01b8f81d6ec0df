// The plug-in's bitmap resources, by resource id: images drawn for it, handed
// to the host as icons (qmhost/AVIconData.h). Built once, kept until the process ends.
#pragma once

#include <cstdint>

#include "qmhost/AppViewTable.h"

// The bitmap of that id; null when the plug-in has none.
AVIcon FindResourceBitmap(uint16_t inId);
