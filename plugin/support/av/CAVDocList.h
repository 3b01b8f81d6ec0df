// A registry that keeps one undo manager per open document view. It follows the
// host's view notifications: 4 (a view was opened) adds a manager made by
// CreateManager, 7 (a view is closing) deletes that view's manager.
//
// Only one registry at a time receives the notifications: the first one built
// registers for them; while it lives, later registries register nothing. The
// registry that registered unregisters in its destructor, so the host never
// calls into a deleted registry, and the next registry built registers anew.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "support/CBridgeArray.h"
#include "support/CUndoManagerData.h"

class CAVDocUndoManager;

class CAVDocList {
public:
    CAVDocList();
    CAVDocList(const CAVDocList&) = delete;
    CAVDocList& operator=(const CAVDocList&) = delete;
    // Deletes every manager, last to first; unregisters the notifications when
    // this registry registered them.
    virtual ~CAVDocList();

    // A new manager for the view (owned by the registry afterwards), or null.
    virtual CAVDocUndoManager* CreateManager(AVDoc inAVDoc) = 0;
    // The view's manager's Push; without a manager the record is deleted.
    virtual void PushRecord(AVDoc inAVDoc, CUndoManagerData* inRecord);
    // The view's manager's Pop / Peek; false without a manager.
    virtual bool PopRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord);
    virtual bool PeekRecord(AVDoc inAVDoc, CUndoManagerData*& outRecord);
    // The first manager (in order of addition) for the view, or null.
    virtual CAVDocUndoManager* FindManager(AVDoc inAVDoc) const;
    // CreateManager (inAVDoc) and appends it; a null manager throws kErrNoMemory.
    // inData (the notification's second word) is not used.
    virtual void AddDocument(AVDoc inAVDoc, void* inData);
    // Removes and deletes the view's manager; nothing when it has none.
    virtual void RemoveDocument(AVDoc inAVDoc);

    int32_t GetManagerCount() const { return mManagers.GetCount(); }
    // The manager at inIndex (order of addition), or null.
    CAVDocUndoManager* GetManagerAt(int32_t inIndex) const;
    // True when this registry holds the host notifications.
    bool IsRegistered() const;

protected:
    // Registers notifications 4 and 7 with this registry as client data unless
    // another registry holds them.
    void RegisterNotifications();

private:
    void UnregisterNotifications();

    CBridgeArray mManagers;  // owned CAVDocUndoManager pointers
};
