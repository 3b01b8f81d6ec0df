#include "support/av/CommandCallbacks.h"

#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

template <class P>
ASCallback Make(P procedure) {
    return CallHostOr(kErrNoMemory, [&] {
        return gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(procedure));
    });
}

}  // namespace

void MakeCommandCallbacks(CommandCallbacks& ioShared, bool (*inEnabled)(void*), bool (*inMarked)(void*),
                          void (*inExecute)(void*)) {
    if (ioShared.extension == gExtensionID && ioShared.execute) return;
    CommandCallbacks made;
    made.extension = gExtensionID;
    made.enabled = Make(inEnabled);
    made.marked = Make(inMarked);
    made.execute = Make(inExecute);
    ioShared = made;
}
