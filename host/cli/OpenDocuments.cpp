#include "cli/OpenDocuments.h"

#include <filesystem>

#include "HostTables.h"
#include "app/PdfFiles.h"
#include "cli/FileIdentity.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "view/DocumentSave.h"

namespace qmcli {

PDDoc OpenPdfFile(const std::string& path) { return qmhost::openPdfDocument(path); }

bool OpenDocuments::open(const std::string& path, std::string* error) {
    const PDModelTable* pd = qmhost::pdModelTable();
    PDDoc doc = nullptr;
    try {
        doc = OpenPdfFile(path);
        const std::string title = std::filesystem::path(path).filename().string();
        qmhost::appViewTable()->avDocOpenFromPDDoc(doc, title.c_str());
    } catch (const HostError& failure) {
        if (doc && !qmhost::appViewTable()->pdDocGetAVDoc(doc)) pd->docClose(doc);
        *error = failure.what();
        return false;
    }
    mInputs.push_back(path);
    return true;
}

bool OpenDocuments::saveActive(const std::string& path, std::string* error) {
    AVDoc view = qmhost::appViewTable()->getActiveDoc();
    if (!view) {
        *error = "no document is open";
        return false;
    }
    for (const std::string& input : mInputs)
        if (!CheckOutputPath(input, path, error)) return false;
    if (!CheckOutputPath("", path, error)) return false;
    try {
        qmhost::saveDocumentAs(qmhost::appViewTable()->avDocGetPDDoc(view), path);
    } catch (const HostError& failure) {
        *error = failure.what();
        return false;
    }
    return true;
}

bool OpenDocuments::closeActive(std::string* error) {
    AVDoc view = qmhost::appViewTable()->getActiveDoc();
    if (!view) {
        *error = "no document is open";
        return false;
    }
    try {
        qmhost::appViewTable()->avDocClose(view, true);
    } catch (const HostError& failure) {
        *error = failure.what();
        return false;
    }
    return true;
}

}  // namespace qmcli
