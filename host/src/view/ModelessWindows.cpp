#include "view/ModelessWindows.h"

#include <algorithm>

namespace qmhost {

void ModelessWindows::add(void* window) {
    if (!window || contains(window)) return;
    mWindows.push_back(window);
    if (mListener) mListener();
}

void ModelessWindows::remove(void* window) {
    const auto found = std::find(mWindows.begin(), mWindows.end(), window);
    if (found == mWindows.end()) return;
    mWindows.erase(found);
    if (mListener) mListener();
}

bool ModelessWindows::contains(const void* window) const {
    return std::find(mWindows.begin(), mWindows.end(), window) != mWindows.end();
}

ModelessWindows& modelessWindows() {
    // Never destroyed: a plug-in may unregister its windows while statics go down.
    static auto* instance = new ModelessWindows;
    return *instance;
}

}  // namespace qmhost
