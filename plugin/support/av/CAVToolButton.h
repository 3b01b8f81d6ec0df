// CAVToolButton makes and owns a host tool button (AppView). A command derives
// from it and overrides Execute, ComputeEnabled and ComputeMarked; the host
// reaches them through three callbacks that all buttons share, with the
// wrapper as client data. The button is taken off its toolbar and destroyed
// with the wrapper.
#pragma once

#include <cstdint>

#include "qmhost/AppViewTable.h"

class CAVToolButton {
public:
    // Makes the button: its name atom from inName, its icon from the bitmap
    // resource inBitmapId (SetIcon), the host flags inOptions and inSeparator
    // (a separator when non-zero); then sets its execute, compute-enabled and
    // compute-marked procedures (in this order) to the shared callbacks.
    // Throws kErrNoMemory (-108) when the host cannot make or set it up; nothing
    // is left behind then. inKeptFlag is kept for the command (GetKeptFlag).
    CAVToolButton(const char* inName, uint16_t inBitmapId, uint8_t inOptions, uint8_t inSeparator,
                  uint8_t inKeptFlag);
    // Takes the button off its toolbar and destroys it; never throws.
    virtual ~CAVToolButton();
    CAVToolButton(const CAVToolButton&) = delete;
    CAVToolButton& operator=(const CAVToolButton&) = delete;

    // The icon of bitmap resource inBitmapId (FindResourceBitmap); none (null)
    // when the module has no such bitmap. The id is kept.
    virtual void SetIcon(uint16_t inBitmapId);
    // The command: base does nothing; enabled when a document view is active; not marked.
    virtual void Execute();
    virtual bool ComputeEnabled();
    virtual bool ComputeMarked();

    void SetHelpText(const char* inText);
    // Gives the button a drop-down menu (null: none); the host holds its own reference.
    void SetMenu(AVMenu inMenu);
    // Puts the button on the application's toolbar: inPosition non-zero before
    // inOther, zero after it (null inOther: first / last). Throws kErrNoMemory
    // (-108) when the host refuses.
    void AddBesideButton(int16_t inPosition, AVToolButton inOther);
    void AddBeside(int16_t inPosition, const CAVToolButton& inOther);
    // Into the application toolbar's tools group: before its marker
    // "endToolsGroup"; at the end of the toolbar when there is no marker.
    void AddToToolsGroup();

    AVToolButton GetButton() const { return mButton; }
    ASAtom GetNameAtom() const { return mName; }
    AVIcon GetIcon() const { return mIcon; }
    uint16_t GetBitmapId() const { return mBitmapId; }
    uint8_t GetKeptFlag() const { return mKeptFlag; }

private:
    // Forgets the button and icon and makes the shared callbacks if this
    // extension has none yet. The constructor runs it first.
    void InitCallbacks();
    void Destroy() noexcept;

    AVToolButton mButton = nullptr;
    ASAtom mName = kASAtomNull;
    AVIcon mIcon = nullptr;
    uint16_t mBitmapId = 0;
    uint8_t mKeptFlag = 0;
};
