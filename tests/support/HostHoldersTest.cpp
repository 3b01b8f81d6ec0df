// CASMemoryBlock and CPDPageHolder: host resources held and given back.
#include <gtest/gtest.h>

#include "CosTestDocument.h"
#include "ThrownErrorCode.h"
#include "qmhost/HostError.h"
#include "support/cos/CASMemoryBlock.h"
#include "support/CPDPageHolder.h"
#include "support/ErrorCode.h"
#include "support/HostMemory.h"
#include "support/HostTables.h"

namespace {

using qmtest::CodeOf;

TEST(CASMemoryBlock, HoldsABlockAndFreesIt) {
    qmtest::StartLinkedPlugin();
    const size_t before = qmhost::hostMemory().liveBlocks();
    {
        CASMemoryBlock block(4096);
        ASSERT_NE(block.Get(), nullptr);
        EXPECT_EQ(block.GetSize(), 4096u);
        static_cast<char*>(block.Get())[4095] = 1;  // the whole size is usable
        EXPECT_EQ(qmhost::hostMemory().liveBlocks(), before + 1);
    }
    EXPECT_EQ(qmhost::hostMemory().liveBlocks(), before);
}

TEST(CASMemoryBlock, SizeTheHostCannotGiveThrowsNoMemoryAndOwnsNothing) {
    qmtest::StartLinkedPlugin();
    const size_t before = qmhost::hostMemory().liveBlocks();
    const uint64_t limit = qmhost::hostMemory().limit();
    qmhost::hostMemory().setLimit(1024);
    EXPECT_EQ(CodeOf([] { CASMemoryBlock block(1025); }), kErrNoMemory);
    qmhost::hostMemory().setLimit(limit);
    EXPECT_EQ(qmhost::hostMemory().liveBlocks(), before);
}

TEST(CPDPageHolder, HoldsThePageAskedForAndReleasesIt) {
    qmtest::CosTestDocument doc(3);
    PDPage page = nullptr;
    {
        CPDPageHolder holder(doc.pdDoc(), 2);
        page = holder.GetPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(gPDModelHFT->pageGetNumber(page), 2);
    }
    // The only reference was given back: the handle is no longer valid.
    EXPECT_THROW(gPDModelHFT->pageGetNumber(page), HostError);
}

TEST(CPDPageHolder, AcquireGivesBackThePageHeldBefore) {
    qmtest::CosTestDocument doc(2);
    CPDPageHolder holder(doc.pdDoc(), 0);
    const PDPage first = holder.GetPage();
    holder.Acquire(doc.pdDoc(), 1);
    EXPECT_EQ(gPDModelHFT->pageGetNumber(holder), 1);
    EXPECT_THROW(gPDModelHFT->pageGetNumber(first), HostError);
}

TEST(CPDPageHolder, PageOutsideTheDocumentThrowsTheHostCodeAndHoldsNothing) {
    qmtest::CosTestDocument doc(1);
    EXPECT_EQ(CodeOf([&] { CPDPageHolder holder(doc.pdDoc(), 1); }),
              static_cast<ErrorCode>(kHostErrBadIndex & 0xFFFF));
    CPDPageHolder holder(doc.pdDoc(), 0);
    EXPECT_EQ(CodeOf([&] { holder.Acquire(doc.pdDoc(), 5); }), static_cast<ErrorCode>(kHostErrBadIndex & 0xFFFF));
    EXPECT_EQ(gPDModelHFT->pageGetNumber(holder), 0);  // the old page is kept
}

TEST(CPDPageHolder, DefaultHoldsNoPage) {
    CPDPageHolder holder;
    EXPECT_EQ(holder.GetPage(), nullptr);
}

}  // namespace
