#include "support/av/ProgressMonitor.h"

#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {
int32_t sDuration = 0;
int32_t sCurrentValue = 0;

void NullBegin(void*) {
    sDuration = 0;
    sCurrentValue = 0;
}
void NullEnd(void*) {}
void NullSetDuration(int32_t duration, void*) { sDuration = duration; }
void NullSetCurrValue(int32_t value, void*) { sCurrentValue = value; }
int32_t NullGetDuration(void*) { return sDuration; }
int32_t NullGetCurrValue(void*) { return sCurrentValue; }
}  // namespace

// Constant-initialised, so it is usable before any dynamic initialisation runs.
ASProgressMonitorRec NullProgressMonitor = {
    sizeof(ASProgressMonitorRec), NullBegin,        NullEnd,          NullSetDuration,
    NullSetCurrValue,             NullGetDuration,  NullGetCurrValue, nullptr,
};

ASProgressMonitor AcquireProgressMonitor(void** outClientData) {
    void* ignored = nullptr;
    void** clientData = outClientData ? outClientData : &ignored;
    *clientData = nullptr;
    if (!gAppViewHFT || !gAppViewHFT->getProgressMonitor) return &NullProgressMonitor;
    ASProgressMonitor monitor =
        CallHost([&] { return gAppViewHFT->getProgressMonitor(clientData); });
    return monitor ? monitor : &NullProgressMonitor;
}
