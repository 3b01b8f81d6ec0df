// Where the stamp manager meets the stamp design dialogs: the manager asks for
// a stamp to be designed; the design dialogs install the function that opens
// the dialog of the stamp's kind. Until one is installed, OpenStampDesigner
// answers false and the manager tells the user the designer is not available.
#pragma once

#include <functional>

class CStamp;
class QWidget;

namespace ui {

// Called once when the design dialog closes: true when the user confirmed (the
// stamp's cabinet then holds the new values), false when cancelled or closed.
typedef std::function<void(bool inConfirmed)> StampDesignDone;

// Opens the design dialog of inStamp's kind (1 image, 2 PDF page, else text)
// modelessly over inParent. inEditing: the stamp exists already (its values
// are shown and written back); otherwise it is new. inStamp must outlive the
// dialog. Answers false when no dialog could be opened (inDone is then never
// called).
typedef std::function<bool(QWidget* inParent, CStamp& inStamp, bool inEditing, StampDesignDone inDone)>
    StampDesigner;

// Installs the designer (an empty one removes it).
void SetStampDesigner(StampDesigner inDesigner);
bool OpenStampDesigner(QWidget* inParent, CStamp& inStamp, bool inEditing, StampDesignDone inDone);

}  // namespace ui
