#include "support/av/CAVDocList.h"

#include <memory>

#include "qmhost/HostError.h"
#include "support/av/CAVDocUndoManager.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {

// The registration held with the host: its two callbacks and the registry
// given as client data. All null while no registry holds the notifications.
ASCallback gDocListAddCallback = nullptr;
ASCallback gDocListRemoveCallback = nullptr;
CAVDocList* gRegisteredList = nullptr;

// The host calls these; nothing may be thrown back into the host, so a failure
// to make a manager leaves the view without undo instead.
void DocListAddProc(AVDoc inAVDoc, uint32_t inData, void* inClientData) {
    TrapRun([&] {
        static_cast<CAVDocList*>(inClientData)
            ->AddDocument(inAVDoc, reinterpret_cast<void*>(static_cast<uintptr_t>(inData)));
    });
}

void DocListRemoveProc(AVDoc inAVDoc, void* inClientData) {
    TrapRun([&] { static_cast<CAVDocList*>(inClientData)->RemoveDocument(inAVDoc); });
}

}  // namespace

CAVDocList::CAVDocList() { RegisterNotifications(); }

CAVDocList::~CAVDocList() {
    // Unregister first: the host must not reach this registry once it goes.
    UnregisterNotifications();
    for (int32_t i = mManagers.GetCount() - 1; i >= 0; --i) {
        CAVDocUndoManager* manager = nullptr;
        if (mManagers.GetAt(i, manager)) delete manager;
        mManagers.RemoveAt(i);
    }
}

void CAVDocList::RegisterNotifications() {
    if (gDocListAddCallback || !gCoreHFT || !gAppViewHFT) return;
    CallHost([&] {
        ASCallback add = gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(&DocListAddProc));
        ASCallback remove =
            gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(&DocListRemoveProc));
        gAppViewHFT->registerNotification(kNotifyViewAdded, gExtensionID, add, this);
        {
            const auto unregister =
                OnFailure([&] { gAppViewHFT->unregisterNotification(kNotifyViewAdded, add, this); });
            gAppViewHFT->registerNotification(kNotifyViewRemoved, gExtensionID, remove, this);
        }
        gDocListAddCallback = add;
        gDocListRemoveCallback = remove;
        gRegisteredList = this;
    });
}

void CAVDocList::UnregisterNotifications() {
    if (gRegisteredList != this) return;
    if (gAppViewHFT) {
        gAppViewHFT->unregisterNotification(kNotifyViewAdded, gDocListAddCallback, this);
        gAppViewHFT->unregisterNotification(kNotifyViewRemoved, gDocListRemoveCallback, this);
    }
    gDocListAddCallback = nullptr;
    gDocListRemoveCallback = nullptr;
    gRegisteredList = nullptr;
}

bool CAVDocList::IsRegistered() const { return gRegisteredList == this; }

void CAVDocList::PushRecord(AVDoc inAVDoc, CUndoManagerData* inRecord) {
    CAVDocUndoManager* manager = FindManager(inAVDoc);
    if (!manager) {
        // Nobody would ever free a record that no manager keeps.
        delete inRecord;
        return;
    }
    manager->Push(inRecord);
}

bool CAVDocList::PopRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord) {
    CAVDocUndoManager* manager = FindManager(inAVDoc);
    return manager ? manager->Pop(outRecord) : false;
}

bool CAVDocList::PeekRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord) {
    CAVDocUndoManager* manager = FindManager(inAVDoc);
    return manager ? manager->Peek(outRecord) : false;
}

CAVDocUndoManager* CAVDocList::FindManager(AVDoc inAVDoc) const {
    const int32_t count = mManagers.GetCount();
    for (int32_t i = 0; i < count; ++i) {
        CAVDocUndoManager* manager = nullptr;
        if (mManagers.GetAt(i, manager) && manager && manager->GetAVDoc() == inAVDoc) return manager;
    }
    return nullptr;
}

void CAVDocList::AddDocument(AVDoc inAVDoc, void* /*inData*/) {
    CAVDocUndoManager* manager = CreateManager(inAVDoc);
    if (!manager) ThrowErrorCode(kErrNoMemory);
    std::unique_ptr<CAVDocUndoManager> owned(manager);
    mManagers.Append(manager);
    owned.release();
}

void CAVDocList::RemoveDocument(AVDoc inAVDoc) {
    CAVDocUndoManager* manager = FindManager(inAVDoc);
    if (!manager) return;
    mManagers.Remove(manager);
    delete manager;
}

CAVDocUndoManager* CAVDocList::GetManagerAt(int32_t inIndex) const {
    CAVDocUndoManager* manager = nullptr;
    if (inIndex < 0 || inIndex >= mManagers.GetCount()) return nullptr;
    return mManagers.GetAt(inIndex, manager) ? manager : nullptr;
}
