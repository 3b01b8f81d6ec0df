// Helpers shared by the Cos and PDModel table tests: the Cos table, the host
// error code of a call, a page's content text, and a fixture holding a new
// empty document.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "HostTables.h"
#include "common/HostErrorOf.h"
#include "common/PdfFixtures.h"
#include "qmhost/AppSupportTable.h"
#include "qmhost/CosTable.h"
#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"

namespace qmtest {

inline const CosTable& cos() { return *qmhost::cosTable(); }

// The decoded bytes (at most 512) of page index's only content stream.
inline std::string pageContents(const HostDoc& doc, int32_t index) {
    const PDModelTable& pd = *qmhost::pdModelTable();
    PDPage page = pd.docAcquirePage(doc.pd(), index);
    const CosObj contents = cos().dictGet(pd.pageGetCosObj(page), nameAtom("Contents"));
    pd.pageRelease(page);
    ASStm stream = cos().streamOpen(contents, kCosStreamDecoded);
    char buffer[512];
    const int32_t n = qmhost::appSupportTable()->stmRead(buffer, 1, sizeof buffer, stream);
    qmhost::appSupportTable()->stmClose(stream);
    return std::string(buffer, static_cast<size_t>(n));
}

// A test over a new empty document.
class NewDocTest : public ::testing::Test {
protected:
    HostDoc doc = HostDoc::create();
    CosDoc cd() const { return doc.cos(); }
};

}  // namespace qmtest
