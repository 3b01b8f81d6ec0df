// The modeless windows that plug-ins registered (Win table): the desktop host
// keeps them out of its front-document tracking and closes them before a
// plug-in is unloaded; the command-line host only keeps the list.
#pragma once

#include <functional>
#include <vector>

namespace qmhost {

class ModelessWindows {
public:
    void add(void* window);     // null and repeats are ignored
    void remove(void* window);  // nothing when not listed
    bool contains(const void* window) const;
    const std::vector<void*>& windows() const { return mWindows; }
    // Told after every change of the list; empty: nobody. Must not throw.
    void setListener(std::function<void()> listener) { mListener = std::move(listener); }

private:
    std::vector<void*> mWindows;  // in registration order
    std::function<void()> mListener;
};

ModelessWindows& modelessWindows();

}  // namespace qmhost
