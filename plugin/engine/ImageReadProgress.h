// ImageReadProgress: the application's progress monitor while an image's
// samples are read. A stamping run may already be showing its own progress in
// the same monitor; the image read nests inside it (begin/end pairs) and puts
// the run's duration and value back when it ends, so the run's bar is not left
// measuring the image.
#pragma once

#include <cstdint>

#include "qmhost/AppViewTable.h"

class ImageReadProgress {
public:
    ImageReadProgress() = default;
    ~ImageReadProgress();  // End()
    ImageReadProgress(const ImageReadProgress&) = delete;
    ImageReadProgress& operator=(const ImageReadProgress&) = delete;

    // Begins an operation of the given duration (any unit; clamped to int32).
    void Begin(uint64_t duration);
    // Moves to value (same unit, clamped).
    void SetValue(uint64_t value);
    // Ends the operation and restores an outer run's duration and value;
    // nothing when not begun. Never throws.
    void End() noexcept;

private:
    ASProgressMonitor mMonitor = nullptr;
    void* mClientData = nullptr;
    int32_t mOuterDuration = 0;
    int32_t mOuterValue = 0;
};
