#include "engine/ImageReadProgress.h"

#include <algorithm>

#include "support/av/ProgressMonitor.h"
#include "support/CallbackGuard.h"

namespace {
int32_t Clamp(uint64_t value) {
    return int32_t(std::min<uint64_t>(value, INT32_MAX));
}
}  // namespace

ImageReadProgress::~ImageReadProgress() {
    End();
}

void ImageReadProgress::Begin(uint64_t duration) {
    End();
    ASProgressMonitor monitor = AcquireProgressMonitor(&mClientData);
    // A run that shows its own progress keeps it: remember where it stood.
    mOuterDuration = monitor->getDuration ? monitor->getDuration(mClientData) : 0;
    mOuterValue = monitor->getCurrValue ? monitor->getCurrValue(mClientData) : 0;
    if (monitor->beginOperation) monitor->beginOperation(mClientData);
    mMonitor = monitor;
    if (mMonitor->setDuration) mMonitor->setDuration(Clamp(duration), mClientData);
}

void ImageReadProgress::SetValue(uint64_t value) {
    if (mMonitor && mMonitor->setCurrValue) mMonitor->setCurrValue(Clamp(value), mClientData);
}

void ImageReadProgress::End() noexcept {
    if (!mMonitor) return;
    ASProgressMonitor monitor = mMonitor;
    mMonitor = nullptr;
    // Progress is a display only; a failure here must not end a read.
    TrapRun([&] {
        if (monitor->endOperation) monitor->endOperation(mClientData);
        if (mOuterDuration > 0) {
            if (monitor->setDuration) monitor->setDuration(mOuterDuration, mClientData);
            if (monitor->setCurrValue) monitor->setCurrValue(mOuterValue, mClientData);
        }
    });
}
