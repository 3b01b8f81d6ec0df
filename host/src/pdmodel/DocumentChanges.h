// Which open documents have changed since they were opened or saved, and a
// change count that cached drawings compare against.
#pragma once

#include <cstdint>
#include <functional>

#include "cos/Document.h"

namespace qmhost {

// Records that the document's contents changed: it counts as modified and every
// cached drawing of it is out of date. Cheap; never raises.
void noteDocumentChanged(const Document& document);
// How often the document was changed (0 for one never changed).
uint64_t documentChangeCount(const Document& document);
bool documentModified(const Document& document);
// After a save the document is no longer modified; its change count stays.
void noteDocumentSaved(const Document& document);

// Told the document's handle after each noted change (the desktop host redraws
// its pages); empty: nobody. It runs inside the change, often in the middle of
// a plug-in's run, so it should only take note and must not throw.
void setDocumentChangeListener(std::function<void(PDDoc)> listener);

}  // namespace qmhost
