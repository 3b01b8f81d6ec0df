#include "view/DocumentSave.h"

#include "pdmodel/PDModelTableImpl.h"
#include "core/Raise.h"
#include "core/ScopeGuard.h"
#include "support/Paths.h"
#include "pdmodel/SaveWarnings.h"
#include "view/Alerts.h"
#include "view/Notifications.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {

void saveDocumentAs(PDDoc doc, const std::string& path) {
    if (path.empty()) raise(kHostErrBadParameter, "save: no file named");
    ASPathName target = makePath(path);
    withCleanUp([&] { documentModelTable()->docSave(doc, target); }, [&] { releasePathHandle(target); });
    // Told only once the file is written: a save that fails leaves undo as it was.
    notifications().sendDoc(kNotifyDocWillChange, doc);
    for (const std::string& warning : lastSaveWarnings()) alerts().show("warning: " + warning);
}

}  // namespace qmhost
