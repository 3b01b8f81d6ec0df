// The page-content font and text handles the host hands out, and the host's own
// Cos document that holds the font dictionaries.
//
// Handles are numbers from one counter shared by fonts and text objects, so a
// text handle is never taken for a font. A font handle refers to a HostFont that
// may be shared with other handles (fonts made for the same request); a
// HostFont lives for the process once made, and so does its dictionary.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cos/Document.h"
#include "pde/HostFont.h"
#include "qmhost/QMBase.h"

namespace qmhost {

// The hidden document of the font dictionaries: made on first use (untitled,
// never saved). Made again if it was closed; fonts made before then are lost.
Document& fontDocument();

// The font made for `key`, made by `make` the first time (make fills the
// dictionary). A failing make leaves nothing cached.
std::shared_ptr<const HostFont> cachedFont(const std::string& key,
                                           const std::function<HostFont(QPDF& fontDoc)>& make);

// A new handle for font.
PDEFont addFontHandle(std::shared_ptr<const HostFont> font);
// The font of a handle; raises kHostErrBadParameter for null and
// kHostErrBadHandle for an unknown or released handle, naming op.
std::shared_ptr<const HostFont> fontOf(PDEFont font, const char* op);
// Gives the handle back; null and unknown handles are ignored.
void releaseFontHandle(PDEFont font);

// The next handle number for a font or a text object (never 0).
uintptr_t nextPdeHandleNumber();

}  // namespace qmhost
