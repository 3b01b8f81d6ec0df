// The properties dialogs of the "Launch" and "URI" action handlers as modal Qt
// dialogs, for a program with a display (a QApplication). A program installs
// them where its session starts; without a QApplication they answer
// "cancelled" at once, as the view layer does when none are installed.
#pragma once

namespace qmhost {

// Installs the dialogs as the view layer's action prompts (view/ActionPrompts.h).
void installActionPropertiesDialogs();

}  // namespace qmhost
