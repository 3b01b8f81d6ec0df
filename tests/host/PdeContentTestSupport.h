// Reaching the host's page-content model through its tables, as a plug-in does.
#pragma once

#include <string>
#include <vector>

#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "qmhost/PDFEditReadTable.h"
#include "qmhost/PDFEditWriteTable.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/PagePDEContentTable.h"

namespace pdetest {

inline const PDFEditReadTable& rd() { return *qmhost::pdfEditReadTable(); }
inline const PDFEditWriteTable& wr() { return *qmhost::pdfEditWriteTable(); }
inline const PDModelTable& pdm() { return *qmhost::pdModelTable(); }
const PagePDEContentTable& loans();

// The extension id the tests borrow contents under.
inline ExtensionID testExtension() { return reinterpret_cast<ExtensionID>(uintptr_t{42}); }

// The types of a content's elements, in order.
std::vector<int32_t> elementTypes(PDEContent content);

// A page of an open document with its content on loan, both given back when this goes.
class LentPage {
public:
    LentPage(PDDoc doc, int32_t index);
    ~LentPage();
    LentPage(const LentPage&) = delete;
    LentPage& operator=(const LentPage&) = delete;
    PDPage page() const { return mPage; }
    PDEContent content() const { return mContent; }

private:
    PDPage mPage;
    PDEContent mContent;
};

// Saves doc to path through PDModel.
void saveDoc(PDDoc doc, const std::string& path);

}  // namespace pdetest
