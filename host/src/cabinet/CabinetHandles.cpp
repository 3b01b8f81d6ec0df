#include "cabinet/CabinetHandles.h"

#include <unordered_map>

#include "cabinet/Cabinet.h"
#include "cabinet/HostText.h"
#include "core/Raise.h"

namespace qmhost {
namespace {

struct Registry {
    std::unordered_map<uintptr_t, Cabinet*> cabinets;
    std::unordered_map<uintptr_t, HostText*> texts;
    std::unordered_map<uintptr_t, std::unique_ptr<Cabinet>> freeCabinets;
    std::unordered_map<uintptr_t, std::unique_ptr<HostText>> freeTexts;
    uintptr_t next = 1;
};

Registry& registry() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static Registry* r = new Registry;
    return *r;
}

template <class Handle>
uintptr_t idOf(Handle handle) {
    return reinterpret_cast<uintptr_t>(handle);
}

// Takes the object out of the free map first, so that a destroy procedure run
// by its destruction never sees it half gone.
template <class T>
std::unique_ptr<T> takeFree(std::unordered_map<uintptr_t, std::unique_ptr<T>>& map, uintptr_t id) {
    auto it = map.find(id);
    if (it == map.end()) return nullptr;
    std::unique_ptr<T> object = std::move(it->second);
    map.erase(it);
    return object;
}

}  // namespace

ASCab registerCabinet(Cabinet& cabinet) {
    const uintptr_t id = registry().next++;
    registry().cabinets.emplace(id, &cabinet);
    return reinterpret_cast<ASCab>(id);
}

void forgetCabinet(ASCab handle) { registry().cabinets.erase(idOf(handle)); }

ASText registerText(HostText& text) {
    const uintptr_t id = registry().next++;
    registry().texts.emplace(id, &text);
    return reinterpret_cast<ASText>(id);
}

void forgetText(ASText handle) { registry().texts.erase(idOf(handle)); }

Cabinet& cabinetOf(ASCab handle) {
    auto& map = registry().cabinets;
    auto it = map.find(idOf(handle));
    if (it == map.end()) raise(kHostErrBadHandle, handle ? "unknown or destroyed cabinet" : "null cabinet");
    return *it->second;
}

HostText& textOf(ASText handle) {
    auto& map = registry().texts;
    auto it = map.find(idOf(handle));
    if (it == map.end()) raise(kHostErrBadHandle, handle ? "unknown or destroyed text" : "null text");
    return *it->second;
}

ASCab adoptFreeCabinet(std::unique_ptr<Cabinet> cabinet) {
    const ASCab handle = cabinet->handle();
    registry().freeCabinets.emplace(idOf(handle), std::move(cabinet));
    return handle;
}

ASText adoptFreeText(std::unique_ptr<HostText> text) {
    const ASText handle = text->handle();
    registry().freeTexts.emplace(idOf(handle), std::move(text));
    return handle;
}

std::unique_ptr<Cabinet> releaseFreeCabinet(ASCab handle) {
    cabinetOf(handle);
    std::unique_ptr<Cabinet> cabinet = takeFree(registry().freeCabinets, idOf(handle));
    if (!cabinet) raise(kHostErrBadParameter, "the cabinet is held by another cabinet");
    return cabinet;
}

std::unique_ptr<HostText> releaseFreeText(ASText handle) {
    textOf(handle);
    std::unique_ptr<HostText> text = takeFree(registry().freeTexts, idOf(handle));
    if (!text) raise(kHostErrBadParameter, "the text is held by a cabinet");
    return text;
}

size_t liveCabinetCount() { return registry().cabinets.size(); }
size_t liveTextCount() { return registry().texts.size(); }

}  // namespace qmhost
