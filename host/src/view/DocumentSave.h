// Saving a document as the user asks: the host writes it with PDModel docSave
// (through a temporary file renamed over the target) and, once the file is
// written, sends notification 33 (kNotifyDocWillChange: plug-ins let go of what
// they keep for the document as it was before the save, such as its undo
// records). A save that fails tells no one, so what the document had before,
// its undo included, stays as it was. The save's warnings (an embedded font
// written whole) are shown as alerts "warning: ...".
#pragma once

#include <string>

#include "qmhost/QMBase.h"

namespace qmhost {

// Raises kHostErrBadParameter for an empty path and what docSave raises; the
// notification is sent only after a save that happened.
void saveDocumentAs(PDDoc doc, const std::string& path);

}  // namespace qmhost
