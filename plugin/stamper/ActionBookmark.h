// The stamp's link action as it is kept: a small PDF document (the "action
// document", stored under "kActionC") whose first top-level bookmark,
// "ActionBookmark", carries the action.
#pragma once

#include "qmhost/QMBase.h"

// The title of the one bookmark the design dialogs write.
inline constexpr const char kActionBookmarkTitle[] = "ActionBookmark";

// The action of the document's first top-level bookmark; the null object when
// there is no such bookmark or it carries no valid action. Raises host errors.
PDAction FirstBookmarkAction(PDDoc inDoc);
// Removes every bookmark of the document. Raises host errors.
void RemoveBookmarks(PDDoc inDoc);
// Removes every bookmark and adds one, "ActionBookmark", that carries inAction
// (an action of inDoc). Raises host errors.
void SetActionBookmark(PDDoc inDoc, PDAction inAction);
