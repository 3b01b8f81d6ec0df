// Documents for the Cos wrapper tests: a new empty document, or a file with
// blank pages, opened through the host's PDModel table.
#pragma once

#include <string>
#include <vector>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "support/HostTables.h"

namespace qmtest {

// Writes a PDF with `pages` blank 612 x 792 pages to path (cross-reference
// offsets computed, so the host opens it without repair).
inline void WriteBlankPdf(const std::string& path, int pages) {
    std::vector<std::string> objects;
    objects.push_back("<< /Type /Catalog /Pages 2 0 R >>");
    std::string kids;
    for (int i = 0; i < pages; ++i) kids += std::to_string(3 + i) + " 0 R ";
    objects.push_back("<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(pages) + " >>");
    for (int i = 0; i < pages; ++i)
        objects.push_back("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>");
    writeBytes(path, rawPdf(objects));
}

// A document open for one test, closed at its end.
class CosTestDocument {
public:
    // A new document without pages.
    CosTestDocument() {
        StartLinkedPlugin();
        mPDDoc = gPDModelHFT->docCreate();
        mCosDoc = gPDModelHFT->docGetCosDoc(mPDDoc);
    }
    // A file of `pages` blank pages in a fresh temporary folder.
    explicit CosTestDocument(int pages) {
        StartLinkedPlugin();
        const std::string path = MakeTempFolder("qm-cos-") + "/blank.pdf";
        WriteBlankPdf(path, pages);
        ASPathName pathName = gAppSupportHFT->pathFromText(path.c_str());
        mPDDoc = gPDModelHFT->docOpen(pathName);
        gAppSupportHFT->releasePath(pathName);
        mCosDoc = gPDModelHFT->docGetCosDoc(mPDDoc);
    }
    ~CosTestDocument() { gPDModelHFT->docClose(mPDDoc); }
    CosTestDocument(const CosTestDocument&) = delete;
    CosTestDocument& operator=(const CosTestDocument&) = delete;

    PDDoc pdDoc() const { return mPDDoc; }
    CosDoc cosDoc() const { return mCosDoc; }

private:
    PDDoc mPDDoc = nullptr;
    CosDoc mCosDoc = nullptr;
};

}  // namespace qmtest
