// The stamp designer installed for the stamp manager (StampDesigner.h).
#pragma once

#include "ui/StampDesigner.h"

namespace ui {

// Opens the design dialog of inStamp's kind (1 image, 2 PDF page, else text)
// modelessly over inParent; inDone runs when it closes. False, without
// calling inDone, when a design dialog is open already or none could be made.
bool OpenDesignDialog(QWidget* inParent, CStamp& inStamp, bool inEditing, StampDesignDone inDone);

}  // namespace ui
