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
    documentModelTable()->docGetNumPages(doc);  // raises for a stale document before anyone is told
    notifications().sendDoc(kNotifyDocWillChange, doc);
    ASPathName target = makePath(path);
    withCleanUp([&] { documentModelTable()->docSave(doc, target); }, [&] { releasePathHandle(target); });
    for (const std::string& warning : lastSaveWarnings()) alerts().show("warning: " + warning);
}

}  // namespace qmhost
