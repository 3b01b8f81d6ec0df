// Texts that only clip (each glyph shown in mode 3 or 7, nothing else drawn),
// held while a content is read. Such a text is the clip of what is drawn after
// it, as the writer writes it back before each element; it becomes an element
// of its own, in its place, only when nothing is drawn in its clip, so that
// content read back from what was written is written the same.
#pragma once

#include <memory>
#include <vector>

#include "pde/PdeModel.h"

namespace qmhost {

class PdeClipTexts {
public:
    // text was read into target (not added to it); inClip is its copy in the clip it leaves.
    void hold(std::shared_ptr<PdeText> text, std::shared_ptr<PdeElement> inClip, std::shared_ptr<PdeContent> target);
    // An element drawn with its clip was added: the texts in that clip are kept there only.
    void drawn(const PdeElement& element);
    // The clip in effect became `clip` (a Q): texts no longer in it are kept as elements.
    void clipRestored(const std::shared_ptr<PdeClip>& clip);
    // The marked content whose elements are in `content` ended: its texts are kept as elements.
    void containerEnded(const std::shared_ptr<PdeContent>& content);
    // The content ended: every text still held is kept as an element.
    void contentEnded();

private:
    struct Held {
        std::shared_ptr<PdeText> text;
        std::shared_ptr<PdeElement> inClip;
        std::shared_ptr<PdeContent> target;
        size_t at;  // its place in target
    };
    template <class Done>
    void keepAsElements(Done done);

    std::vector<Held> mHeld;
};

}  // namespace qmhost
