#include "pagecontent/CPDEObject.h"

#include <string>

#include "support/CallbackGuard.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

CPDEObject::CPDEObject(PDEObject handle, bool acquire) { Attach(handle, acquire); }

CPDEObject::CPDEObject(const CPDEObject& other) { Assign(other); }

CPDEObject& CPDEObject::operator=(const CPDEObject& other) {
    Assign(other);
    return *this;
}

CPDEObject::~CPDEObject() {
    // A destructor gives back what it can; the host has recorded the failure.
    TrapRun([this] { ReleaseHeld(); });
}

void CPDEObject::ReleaseHeld() {
    if (mOwned && !mDoNotRelease) Release();
    mHandle = nullptr;
}

void CPDEObject::TakeMade(PDEObject handle) {
    ReleaseHeld();
    mHandle = handle;
    mOwned = true;
    mDoNotRelease = false;
}

void CPDEObject::Attach(PDEObject handle, bool acquire) {
    if (mHandle && mOwned && !mDoNotRelease) Release();
    mOwned = acquire;
    mDoNotRelease = false;
    mHandle = handle;
    if (mOwned && mHandle) Acquire();
}

void CPDEObject::Assign(const CPDEObject& other) {
    if (this == &other) return;
    // The copy holds a reference of its own, so it must be free to give it back:
    // taking the other's do-not-release flag would leak that reference.
    Attach(other.mHandle, true);
}

CPDEObject& CPDEObject::SetDoNotRelease(bool doNotRelease) {
    mDoNotRelease = doNotRelease;
    return *this;
}

void CPDEObject::Acquire() { CallHost([&] { gPDFEditReadHFT->objectAcquire(mHandle); }); }

void CPDEObject::Release() {
    if (mHandle) CallHost([&] { gPDFEditReadHFT->objectRelease(mHandle); });
}

int32_t CPDEObject::GetType() const { return CallHost([&] { return gPDFEditReadHFT->objectGetType(mHandle); }); }

void CPDEObject::SetTag(ASAtom key, void* value) {
    CallHost([&] { gPDFEditWriteHFT->objectSetTag(mHandle, gExtensionID, key, value); });
}

void CPDEObject::RemoveTag(ASAtom key) {
    CallHost([&] { gPDFEditWriteHFT->objectRemoveTag(mHandle, gExtensionID, key); });
}

void* CPDEObject::GetTag(ASAtom key) const {
    return CallHost([&] { return gPDFEditWriteHFT->objectGetTag(mHandle, gExtensionID, key); });
}

namespace {
// Called by the host: nothing may leave it as an exception.
void printDump(const char* text, void* clientData) {
    TrapRun([&] {
        if (clientData) std::fputs(text, static_cast<FILE*>(clientData));
        else gAppViewHFT->alertNote(text);
    });
}
}  // namespace

void CPDEObject::Dump(int32_t level, FILE* out) const {
    CallHost([&] { gPDFEditReadHFT->objectDump(mHandle, level, printDump, out); });
}
