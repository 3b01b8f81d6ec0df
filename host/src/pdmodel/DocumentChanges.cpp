#include "pdmodel/DocumentChanges.h"

#include <unordered_map>

namespace qmhost {
namespace {

struct ChangeState {
    uint64_t count = 0;
    bool modified = false;
};

// Keyed by serial, which is never reused; entries of closed documents are
// dropped whenever a change is noted, so the map stays as small as the open set.
std::unordered_map<uint32_t, ChangeState>& states() {
    static auto* map = new std::unordered_map<uint32_t, ChangeState>;
    return *map;
}

void dropClosed() {
    auto& map = states();
    for (auto it = map.begin(); it != map.end();) {
        if (documentOf(reinterpret_cast<PDDoc>(static_cast<uintptr_t>(it->first))))
            ++it;
        else
            it = map.erase(it);
    }
}

std::function<void(PDDoc)>& changeListener() {
    static auto* listener = new std::function<void(PDDoc)>;
    return *listener;
}

}  // namespace

void noteDocumentChanged(const Document& document) {
    auto& map = states();
    if (map.find(document.serial()) == map.end()) dropClosed();
    ChangeState& state = map[document.serial()];
    ++state.count;
    state.modified = true;
    if (changeListener()) changeListener()(document.pdDoc());
}

void setDocumentChangeListener(std::function<void(PDDoc)> listener) { changeListener() = std::move(listener); }

uint64_t documentChangeCount(const Document& document) {
    auto it = states().find(document.serial());
    return it == states().end() ? 0 : it->second.count;
}

bool documentModified(const Document& document) {
    auto it = states().find(document.serial());
    return it != states().end() && it->second.modified;
}

void noteDocumentSaved(const Document& document) {
    auto it = states().find(document.serial());
    if (it != states().end()) it->second.modified = false;
}

}  // namespace qmhost
