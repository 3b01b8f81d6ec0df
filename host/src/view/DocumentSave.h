// Saving a document as the user asks: the host first sends notification 33
// (kNotifyDocWillChange: plug-ins let go of what they keep for the document,
// such as its undo records), then writes it with PDModel docSave (through a
// temporary file renamed over the target). The save's warnings (an embedded
// font written whole) are shown as alerts "warning: ...".
#pragma once

#include <string>

#include "qmhost/QMBase.h"

namespace qmhost {

// Raises kHostErrBadParameter for an empty path and what docSave raises; the
// notification has been sent even when the write fails.
void saveDocumentAs(PDDoc doc, const std::string& path);

}  // namespace qmhost
