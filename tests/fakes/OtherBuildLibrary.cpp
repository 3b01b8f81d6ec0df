// Shared objects that stand for files copied from another build of Quillmark,
// or for a host library of this build, made with one of:
//   QM_FAKE_HOST_STAMP        a host library whose build stamp is that string
//   QM_FAKE_SAME_HOST         a host library of this build
//   QM_FAKE_COMPANION_STAMP   a dialogs' companion whose build stamp is that string
//   (none)                    a library with neither a stamp nor a companion's entry
// Each also exports qmtestEntry, the entry a test asks the host's loader for.
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "module/export/DialogsCompanion.h"

#ifdef QM_FAKE_SAME_HOST
#include "HostBuildStamp.h"
#define QM_FAKE_HOST_STAMP QM_HOST_BUILD_STAMP
#endif

#define QM_FAKE_EXPORT extern "C" __attribute__((visibility("default")))

QM_FAKE_EXPORT int qmtestEntry() { return 1; }

#ifdef QM_FAKE_HOST_STAMP
QM_FAKE_EXPORT const char* qmhostLibraryStamp() { return QM_FAKE_HOST_STAMP; }

// Entries as the host's libraries have them: one answers its table (an int
// here), one answers none.
QM_FAKE_EXPORT const int* qmtestTable() {
    static const int table = 42;
    return &table;
}
QM_FAKE_EXPORT const int* qmtestNoTable() { return nullptr; }
#endif

#ifdef QM_FAKE_COMPANION_STAMP
// As the companion's entry answers a module of another build: its own stamp,
// and nothing started.
QM_FAKE_EXPORT int32_t QuillmarkDialogsStart(const char* moduleBuildStamp, const char** outCompanionBuildStamp,
                                             const char*, uint32_t, uint32_t*, PISetupProc*, void*) {
    static_assert(std::is_same_v<decltype(&QuillmarkDialogsStart), DialogsCompanionMain>);
    if (std::strcmp(moduleBuildStamp, QM_FAKE_COMPANION_STAMP) == 0) return kDialogsCompanionFailed;
    *outCompanionBuildStamp = QM_FAKE_COMPANION_STAMP;
    return kDialogsCompanionOtherBuild;
}
#endif
