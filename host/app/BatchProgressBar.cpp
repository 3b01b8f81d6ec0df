#include "app/BatchProgressBar.h"

#include <filesystem>

#include "view/Alerts.h"
#include "view/ProgressMonitor.h"

namespace qmhost {

void BatchProgressBar::finish() {
    if (mBegun) progressMonitor().end();
    mBegun = false;
}

void BatchProgressBar::show(const BatchProgress& progress) {
    ProgressMonitor& monitor = progressMonitor();
    if (!mBegun || progress.fileIndex != mFile) {
        if (mBegun) monitor.end();
        monitor.begin();
        mBegun = true;
        mFile = progress.fileIndex;
        const std::string name = progress.fileIndex < mInputs.size()
                                     ? std::filesystem::path(mInputs[progress.fileIndex]).filename().string()
                                     : std::string();
        monitor.setText("file " + std::to_string(progress.fileIndex + 1) + "/" + std::to_string(mInputs.size()) +
                        " " + name);
    }
    monitor.setDuration(progress.duration);
    monitor.setCurrValue(progress.value);
}

BatchSequenceResult runBatchWithProgress(BatchSequenceRequest request) {
    BatchProgressBar bar(request.inputs);
    request.onProgress = [&bar](const BatchProgress& progress) { bar.show(progress); };
    const AlertMode previous = alerts().mode();
    alerts().setMode(AlertMode::Silent);
    const BatchSequenceResult result = runBatchSequence(request);
    alerts().setMode(previous);
    bar.finish();
    return result;
}

}  // namespace qmhost
