#include "pde/PdeClipTexts.h"

#include <algorithm>

namespace qmhost {
namespace {

bool holds(const std::shared_ptr<PdeClip>& clip, const std::shared_ptr<PdeElement>& element) {
    return clip && std::find(clip->elements.begin(), clip->elements.end(), element) != clip->elements.end();
}

}  // namespace

void PdeClipTexts::hold(std::shared_ptr<PdeText> text, std::shared_ptr<PdeElement> inClip,
                        std::shared_ptr<PdeContent> target) {
    const size_t at = target->elements.size();
    mHeld.push_back(Held{std::move(text), std::move(inClip), std::move(target), at});
}

void PdeClipTexts::drawn(const PdeElement& element) {
    // Marked content draws nothing itself (nor is its clip written): its elements count.
    if (mHeld.empty() || !element.clip || element.type() == kPDEContainer) return;
    std::erase_if(mHeld, [&](const Held& h) { return holds(element.clip, h.inClip); });
}

void PdeClipTexts::clipRestored(const std::shared_ptr<PdeClip>& clip) {
    keepAsElements([&](const Held& h) { return !holds(clip, h.inClip); });
}

void PdeClipTexts::containerEnded(const std::shared_ptr<PdeContent>& content) {
    keepAsElements([&](const Held& h) { return h.target == content; });
}

void PdeClipTexts::contentEnded() {
    keepAsElements([](const Held&) { return true; });
}

// Nothing was drawn in their clips, so nothing was added to their contents
// after them but marked content: each goes back where it was read.
template <class Done>
void PdeClipTexts::keepAsElements(Done done) {
    for (auto it = mHeld.begin(); it != mHeld.end();) {
        if (!done(*it)) {
            ++it;
            continue;
        }
        auto& elements = it->target->elements;
        const size_t at = std::min(it->at, elements.size());
        elements.insert(elements.begin() + static_cast<std::ptrdiff_t>(at), it->text);
        for (auto later = it + 1; later != mHeld.end(); ++later)  // read after it, so placed after it
            if (later->target == it->target && later->at >= at) ++later->at;
        it = mHeld.erase(it);
    }
}

}  // namespace qmhost
