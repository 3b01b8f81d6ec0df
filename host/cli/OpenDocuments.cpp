#include "cli/OpenDocuments.h"

#include <filesystem>

#include "HostTables.h"
#include "app/PdfFiles.h"
#include "cli/FileIdentity.h"
#include "core/TableRegistry.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "view/DocumentSave.h"

namespace qmcli {
namespace {

// The table as the host offers it to plug-ins, else the host's own: the
// documents are opened, saved and closed through what the plug-ins reach, so
// that whatever stands in for a table there (a host that fails on demand in
// tests) meets these calls too.
template <class Table>
const Table* offered(const char* name, const Table* own) {
    const void* table = qmhost::tables().find(name, kTableVersion5_1);
    return table ? static_cast<const Table*>(table) : own;
}
const AppViewTable* appView() { return offered("AppView", qmhost::appViewTable()); }
const PDModelTable* pdModel() { return offered("PDModel", qmhost::pdModelTable()); }

}  // namespace

PDDoc OpenPdfFile(const std::string& path) { return qmhost::openPdfDocument(path); }

bool OpenDocuments::open(const std::string& path, std::string* error) {
    const PDModelTable* pd = pdModel();
    const AppViewTable* av = appView();
    PDDoc doc = nullptr;
    try {
        doc = qmhost::openPdfDocument(path, pd);
        const std::string title = std::filesystem::path(path).filename().string();
        av->avDocOpenFromPDDoc(doc, title.c_str());
    } catch (const HostError& failure) {
        if (doc && !av->pdDocGetAVDoc(doc)) pd->docClose(doc);
        // The answer names the file, also when the host's text does not (a
        // view that could not be made).
        *error = failure.what();
        if (error->find(path) == std::string::npos) *error = path + ": " + *error;
        return false;
    }
    mInputs.push_back(path);
    return true;
}

bool OpenDocuments::saveActive(const std::string& path, std::string* error) {
    AVDoc view = appView()->getActiveDoc();
    if (!view) {
        *error = "no document is open";
        return false;
    }
    for (const std::string& input : mInputs)
        if (!CheckOutputPath(input, path, error)) return false;
    if (!CheckOutputPath("", path, error)) return false;
    try {
        qmhost::saveDocumentAs(appView()->avDocGetPDDoc(view), path);
    } catch (const HostError& failure) {
        *error = failure.what();
        return false;
    }
    return true;
}

bool OpenDocuments::closeActive(std::string* error) {
    AVDoc view = appView()->getActiveDoc();
    if (!view) {
        *error = "no document is open";
        return false;
    }
    try {
        appView()->avDocClose(view, true);
    } catch (const HostError& failure) {
        *error = failure.what();
        return false;
    }
    return true;
}

}  // namespace qmcli
