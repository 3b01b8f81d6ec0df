#include "stamper/OpenFileSeam.h"

#include "support/CallbackGuard.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"

namespace {

DesktopDisplayCheck sDisplayCheck = nullptr;

OpenFileHandler& Handler() {
    static OpenFileHandler handler;
    return handler;
}

OpenFileHandler& DesktopOpener() {
    static OpenFileHandler opener;
    return opener;
}

// The host shows the file as it shows files; an older host without the member
// leaves it to the desktop, when there is one. The plug-in itself never writes
// to standard output, which belongs to the host.
void DefaultOpen(const std::string& inPath) {
    if (TableHasMember(gAppViewHFT, &AppViewTable::showFile)) {
        CallHost([&] { gAppViewHFT->showFile(inPath.c_str()); });
        return;
    }
    if (HasDesktopDisplay() && DesktopOpener()) DesktopOpener()(inPath);
}

}  // namespace

void OpenFileForUser(const std::string& inPath) noexcept {
    // A viewer that cannot start is the desktop's matter, not a failed command.
    TrapRun([&] {
        const OpenFileHandler& handler = Handler();
        if (handler)
            handler(inPath);
        else
            DefaultOpen(inPath);
    });
}

void SetOpenFileHandler(OpenFileHandler inHandler) { Handler() = std::move(inHandler); }

void SetDesktopFileOpener(OpenFileHandler inOpener) { DesktopOpener() = std::move(inOpener); }

bool HasDesktopDisplay() { return sDisplayCheck && sDisplayCheck(); }

void SetDesktopDisplayCheck(DesktopDisplayCheck inCheck) { sDisplayCheck = inCheck; }
