#include "view/DocumentOpen.h"

#include "core/Raise.h"
#include "core/ScopeGuard.h"
#include "pdmodel/OpenWarnings.h"
#include "support/Paths.h"
#include "view/Alerts.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {

PDDoc openDocumentForUser(const std::string& path, const PDModelTable* model) {
    ASPathName name = makePath(path);
    // A table that stands in for the host's (in tests) may open without them.
    setLastOpenWarnings({});
    const PDDoc doc = withCleanUp([&] { return model->docOpen(name); }, [&] { releasePathHandle(name); });
    for (const std::string& warning : lastOpenWarnings()) alerts().warn(warning);
    const auto closeOnFailure = onFailure([&] { model->docClose(doc); });
    if (model->docGetNumPages(doc) == 0) raise(kHostErrGeneric, path + " has no pages");
    return doc;
}

}  // namespace qmhost
