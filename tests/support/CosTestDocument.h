// Documents for the Cos wrapper tests: a new empty document, or a file with
// blank pages, opened through the host's PDModel table.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

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
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> offsets;
    for (size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    std::fwrite(pdf.data(), 1, pdf.size(), file);
    std::fclose(file);
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
