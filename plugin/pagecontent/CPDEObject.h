// CPDEObject: holds one handle of the host's page-content model and the
// reference it may own on it. A reference is given back only when the wrapper
// owns it and the handle is not on loan (do-not-release); a copy takes a
// reference of its own. Host errors leave every operation as their 16-bit codes
// with the host's text in the error-message buffer.
#pragma once

#include <cstdint>
#include <cstdio>

#include "qmhost/PDETypes.h"
#include "qmhost/QMBase.h"

class CPDEObject {
public:
    CPDEObject() = default;
    // Attach (handle, acquire).
    CPDEObject(PDEObject handle, bool acquire);
    // A wrapper of the same handle with its own reference.
    CPDEObject(const CPDEObject& other);
    CPDEObject& operator=(const CPDEObject& other);
    // Gives the reference back when owned and not on loan; never throws.
    virtual ~CPDEObject();

    // Gives back the current reference (owned, not on loan), then holds handle,
    // taking a reference of its own when acquire is set.
    void Attach(PDEObject handle, bool acquire);
    // The other's handle with a reference of this wrapper's own: a copy of a
    // wrapper whose handle is on loan owns its reference and gives it back.
    void Assign(const CPDEObject& other);
    // Holds a handle whose reference the caller already owns (a host "new" result).
    void Adopt(PDEObject handle) { TakeMade(handle); }
    PDEObject GetHandle() const { return mHandle; }
    bool IsOwned() const { return mOwned; }
    bool IsDoNotRelease() const { return mDoNotRelease; }

    virtual CPDEObject& SetDoNotRelease(bool doNotRelease);
    virtual void Acquire();
    virtual void Release();  // nothing for handle 0
    virtual int32_t GetType() const;
    virtual void SetTag(ASAtom key, void* value);
    virtual void RemoveTag(ASAtom key);
    virtual void* GetTag(ASAtom key) const;
    // Writes the host's description to out (fputs), or shows it in an alert when out is null.
    virtual void Dump(int32_t level, FILE* out) const;

protected:
    // Gives back the reference held now, when owned and not on loan.
    void ReleaseHeld();
    // Holds a handle that the host made for this wrapper (its reference is ours).
    void TakeMade(PDEObject handle);

    PDEObject mHandle = nullptr;
    bool mOwned = true;
    bool mDoNotRelease = false;
};
