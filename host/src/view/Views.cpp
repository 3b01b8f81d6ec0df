#include "view/Views.h"

#include <algorithm>

#include "pdmodel/PDModelTableImpl.h"
#include "core/Raise.h"
#include "view/Notifications.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {
namespace {

std::function<void(AVDoc)>& pluginViewListener() {
    static std::function<void(AVDoc)> listener;
    return listener;
}

std::function<void(AVDoc)>& viewClosingListener() {
    static std::function<void(AVDoc)> listener;
    return listener;
}

}  // namespace

AVDoc Views::open(PDDoc doc, const std::string& title) {
    documentModelTable()->docGetNumPages(doc);  // raises for a stale document
    const uintptr_t id = mNext++;
    mViews.push_back({id, doc, title});
    mActive = id;
    AVDoc view = reinterpret_cast<AVDoc>(id);
    notifications().sendView(kNotifyViewAdded, view);
    return view;
}

const Views::View* Views::find(AVDoc view) const {
    const uintptr_t id = reinterpret_cast<uintptr_t>(view);
    auto it = std::find_if(mViews.begin(), mViews.end(), [&](const View& v) { return v.id == id; });
    return it == mViews.end() ? nullptr : &*it;
}

void Views::close(AVDoc view) {
    const View* found = find(view);
    if (!found) raise(kHostErrBadHandle, "no such view");
    const PDDoc doc = found->doc;
    if (viewClosingListener()) viewClosingListener()(view);
    notifications().sendDoc(kNotifyDocWillChange, doc);
    notifications().sendView(kNotifyViewRemoved, view);
    const uintptr_t id = reinterpret_cast<uintptr_t>(view);
    std::erase_if(mViews, [&](const View& v) { return v.id == id; });
    if (mActive == id) mActive = mViews.empty() ? 0 : mViews.back().id;
    documentModelTable()->docClose(doc);
}

void Views::closeAll() {
    while (!mViews.empty()) close(reinterpret_cast<AVDoc>(mViews.back().id));
}

AVDoc Views::active() const { return reinterpret_cast<AVDoc>(mActive); }

void Views::setActive(AVDoc view) {
    if (!find(view)) raise(kHostErrBadHandle, "no such view");
    mActive = reinterpret_cast<uintptr_t>(view);
    notifications().sendView(kNotifyFrontDocChanged, view);
}

PDDoc Views::documentOf(AVDoc view) const {
    const View* found = find(view);
    if (!found) raise(kHostErrBadHandle, "no such view");
    return found->doc;
}

AVDoc Views::viewOf(PDDoc doc) const {
    for (const View& v : mViews)
        if (v.doc == doc) return reinterpret_cast<AVDoc>(v.id);
    return nullptr;
}

std::string Views::titleOf(AVDoc view) const {
    const View* found = find(view);
    return found ? found->title : std::string();
}

void Views::setTitle(AVDoc view, const std::string& title) {
    const uintptr_t id = reinterpret_cast<uintptr_t>(view);
    auto it = std::find_if(mViews.begin(), mViews.end(), [&](const View& v) { return v.id == id; });
    if (it == mViews.end()) raise(kHostErrBadHandle, "no such view");
    it->title = title;
}

Views& views() {
    static Views* instance = new Views;
    return *instance;
}

void setPluginViewListener(std::function<void(AVDoc view)> listener) { pluginViewListener() = std::move(listener); }

void notePluginView(AVDoc view) {
    if (pluginViewListener()) pluginViewListener()(view);
}

void setViewClosingListener(std::function<void(AVDoc view)> listener) { viewClosingListener() = std::move(listener); }

}  // namespace qmhost
