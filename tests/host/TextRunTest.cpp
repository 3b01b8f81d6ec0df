// Text objects: runs inserted by index, counted, measured through their text
// matrix, released.
#include <gtest/gtest.h>

#include <string>

#include "FontTestSupport.h"

namespace {

using namespace fonttest;

class TextRun : public ::testing::Test {
protected:
    FontHolder helvetica{makeStandardFont("Helvetica")};
    FontHolder courier{makeStandardFont("Courier")};
    PDEText text = pdeWrite().textCreate();
    ~TextRun() override { pdeWrite().textRelease(text); }

    void add(int32_t index, const std::string& codes, PDEFont font, const ASFixedMatrix& m) {
        pdeWrite().textAddRun(text, index, codes.data(), static_cast<int32_t>(codes.size()), font, &m);
    }
    ASFixedRect box(int32_t index) {
        ASFixedRect r{};
        pdeRead().textGetRunBBox(text, index, &r);
        return r;
    }
    static ASFixedMatrix scale(double size) { return ASFixedMatrix{fixed(size), 0, 0, fixed(size), 0, 0}; }
};

TEST_F(TextRun, NewTextHoldsNoRuns) { EXPECT_EQ(pdeRead().textGetNumRuns(text), 0); }

TEST_F(TextRun, RunIsInsertedBeforeTheIndex) {
    add(0, "iiii", courier.get(), scale(10));    // Courier: 600 per glyph -> 24 pt
    add(1, "ii", helvetica.get(), scale(10));    // Helvetica i: 222 -> 4.44 pt
    add(0, "i", helvetica.get(), scale(100));    // now first: 22.2 pt
    ASSERT_EQ(pdeRead().textGetNumRuns(text), 3);
    EXPECT_EQ(box(0).right, fixed(22.2));
    EXPECT_EQ(box(1).right, fixed(24.0));
    EXPECT_EQ(box(2).right, fixed(4.44));
}

TEST_F(TextRun, IndexPastTheEndIsABadIndex) {
    add(0, "a", helvetica.get(), scale(10));
    EXPECT_EQ(hostErrorOf([&] { add(2, "a", helvetica.get(), scale(10)); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { add(-1, "a", helvetica.get(), scale(10)); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { box(1); }), kHostErrBadIndex);
    EXPECT_EQ(hostErrorOf([&] { box(-1); }), kHostErrBadIndex);
    EXPECT_EQ(pdeRead().textGetNumRuns(text), 1);
}

TEST_F(TextRun, EmptyRunHasNoWidthButTheFontHeight) {
    add(0, "", helvetica.get(), scale(10));
    const ASFixedRect r = box(0);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.right, 0);
    EXPECT_LT(r.bottom, 0);
    EXPECT_GT(r.top, 0);
}

TEST_F(TextRun, QuarterTurnMatrixGivesTheEnclosingBox) {
    // (0 s -s 0 0 0): x' = -s*y, y' = s*x.
    const ASFixedRect upright = [&] {
        add(0, "iiii", courier.get(), scale(10));
        return box(0);
    }();
    add(1, "iiii", courier.get(), ASFixedMatrix{0, fixed(10), fixed(-10), 0, 0, 0});
    const ASFixedRect turned = box(1);
    EXPECT_EQ(turned.bottom, 0);
    EXPECT_EQ(turned.top, upright.right);
    EXPECT_EQ(turned.left, -upright.top);
    EXPECT_EQ(turned.right, -upright.bottom);
}

TEST_F(TextRun, LongRunKeepsItsWidthExact) {
    // 1000 Courier glyphs at 12 pt: 7200 pt, beyond what summing rounded widths would keep.
    add(0, std::string(1000, 'x'), courier.get(), scale(12));
    EXPECT_EQ(box(0).right, fixed(7200.0));
}

TEST_F(TextRun, MissingArgumentsAreBadParameters) {
    const ASFixedMatrix m = scale(10);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().textAddRun(text, 0, "a", 1, helvetica.get(), nullptr); }),
              kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().textAddRun(text, 0, nullptr, 1, helvetica.get(), &m); }),
              kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().textAddRun(text, 0, "a", 1, nullptr, &m); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { pdeWrite().textAddRun(nullptr, 0, "a", 1, helvetica.get(), &m); }),
              kHostErrBadParameter);
    add(0, "a", helvetica.get(), m);
    EXPECT_EQ(hostErrorOf([&] { pdeRead().textGetRunBBox(text, 0, nullptr); }), kHostErrBadParameter);
}

TEST_F(TextRun, RunKeepsItsFontAfterTheHandleIsReleased) {
    PDEFont font = makeStandardFont("Courier-Bold");
    add(0, "ab", font, scale(10));
    pdeWrite().fontRelease(font);
    EXPECT_EQ(box(0).right, fixed(12.0));
}

TEST(TextRunHandles, ReleasedTextIsABadHandle) {
    PDEText text = pdeWrite().textCreate();
    pdeWrite().textRelease(text);
    EXPECT_EQ(hostErrorOf([&] { pdeRead().textGetNumRuns(text); }), kHostErrBadHandle);
    pdeWrite().textRelease(text);
    pdeWrite().textRelease(nullptr);
    FontHolder font(makeStandardFont("Helvetica"));
    EXPECT_EQ(hostErrorOf([&] { pdeRead().textGetNumRuns(reinterpret_cast<PDEText>(font.get())); }), kHostErrBadHandle);
}

}  // namespace
