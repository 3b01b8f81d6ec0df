#include "view/Notifications.h"

#include <algorithm>
#include <string>

#include "core/ExceptionTrap.h"
#include "core/Callbacks.h"
#include "core/Raise.h"
#include "qmhost/AppViewTable.h"

namespace qmhost {
namespace {

bool isKnown(int32_t notification) {
    return notification == kNotifyFrontDocChanged || notification == kNotifyViewAdded ||
           notification == kNotifyViewRemoved || notification == kNotifyDocWillChange;
}

typedef void (*ViewAddedProc)(AVDoc, uint32_t, void*);
typedef void (*ViewProc)(AVDoc, void*);
typedef void (*DocProc)(PDDoc, void*);

}  // namespace

void Notifications::add(int32_t notification, ExtensionID extension, ASCallback callback,
                        void* clientData) {
    if (!isKnown(notification))
        raise(kHostErrBadParameter, "unknown notification " + std::to_string(notification));
    if (!callbacks().procedure(callback)) raise(kHostErrBadParameter, "notification without a callback");
    mRegistrations.push_back({notification, extension, callback, clientData});
}

void Notifications::remove(int32_t notification, ASCallback callback, void* clientData) {
    auto it = std::find_if(mRegistrations.begin(), mRegistrations.end(), [&](const auto& r) {
        return r.notification == notification && r.callback == callback && r.clientData == clientData;
    });
    if (it != mRegistrations.end()) mRegistrations.erase(it);
}

std::vector<NotificationRegistration> Notifications::heldBy(ExtensionID extension) const {
    std::vector<NotificationRegistration> held;
    for (const auto& r : mRegistrations)
        if (r.extension == extension) held.push_back(r);
    return held;
}

void Notifications::dropExtension(ExtensionID extension) {
    std::erase_if(mRegistrations, [&](const auto& r) { return r.extension == extension; });
}

void Notifications::sendView(int32_t notification, AVDoc view) {
    const auto snapshot = mRegistrations;  // a handler may unregister itself
    for (const auto& r : snapshot) {
        if (r.notification != notification) continue;
        // A plug-in's failure stays with the plug-in; the others are still told.
        trappedRun([&] {
            if (notification == kNotifyViewAdded) {
                if (auto proc = callbacks().as<ViewAddedProc>(r.callback)) proc(view, 0, r.clientData);
            } else if (auto proc = callbacks().as<ViewProc>(r.callback)) {
                proc(view, r.clientData);
            }
        });
    }
}

void Notifications::sendDoc(int32_t notification, PDDoc doc) {
    const auto snapshot = mRegistrations;
    for (const auto& r : snapshot) {
        if (r.notification != notification) continue;
        trappedRun([&] {
            if (auto proc = callbacks().as<DocProc>(r.callback)) proc(doc, r.clientData);
        });
    }
}

Notifications& notifications() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static Notifications* instance = new Notifications;
    return *instance;
}

}  // namespace qmhost
