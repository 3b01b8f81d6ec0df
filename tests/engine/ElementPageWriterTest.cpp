// CElementPageWriter::Run: what a page's write made and put nowhere is let go
// when the write has answered; what the document holds, and what was made
// before, keeps its handle. A host whose table lacks the calls keeps all.
#include <gtest/gtest.h>

#include <string>

#include "TextOnDocument.h"
#include "common/FaultInjectingHost.h"
#include "common/HostErrorOf.h"
#include "engine/ElementPageWriter.h"
#include "support/HostTables.h"

namespace {

using enginetest::TextOnDocument;

bool IsStale(CosObj obj) { return qmtest::isStaleObject(*gCosHFT, obj); }

// olderHost: the Cos table ends before the release calls.
class PageWriterRelease : public TextOnDocument, public testing::WithParamInterface<bool> {};

TEST_P(PageWriterRelease, WhatThePageWriteLeftUnattachedGoes) {
    qmtest::FaultInjectingHost host;
    if (GetParam()) host.ShortenBefore<&CosTable::docHandleMark>();
    auto stamp = Stamp("x");
    const CosDoc cosDoc = gPDModelHFT->docGetCosDoc(mDoc.GetPDDoc());
    const CosObj madeBefore = gCosHFT->newDict(cosDoc, false, 1);
    CosObj loose{}, kept{}, keptValue{};
    int32_t pageSeen = -1;
    ASSERT_TRUE(CElementPageWriter::Run(stamp->element, 0, [&](PDPage page) {
        pageSeen = gPDModelHFT->pageGetNumber(page);
        loose = gCosHFT->newDict(cosDoc, false, 1);
        gCosHFT->dictPut(loose, gCoreHFT->atomFromString("N"), gCosHFT->newInteger(cosDoc, false, 1));
        kept = gCosHFT->newArray(cosDoc, false, 1);
        keptValue = gCosHFT->newInteger(cosDoc, false, 7);
        gCosHFT->arrayPut(kept, 0, keptValue);
        gCosHFT->dictPut(gPDModelHFT->pageGetCosObj(page), gCoreHFT->atomFromString("QMKept"), kept);
        return true;
    }));
    EXPECT_EQ(pageSeen, 0);
    EXPECT_EQ(IsStale(loose), !GetParam());
    EXPECT_FALSE(IsStale(kept));
    EXPECT_EQ(gCosHFT->integerValue(keptValue), 7);
    EXPECT_FALSE(IsStale(madeBefore));
    // The element's own write still works after a release on an earlier page.
    ASSERT_TRUE(stamp->element.Write(0));
    EXPECT_EQ(Pieces().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Hosts, PageWriterRelease, testing::Bool(),
                         [](const auto& row) { return std::string(row.param ? "OlderHost" : "CurrentHost"); });

}  // namespace
