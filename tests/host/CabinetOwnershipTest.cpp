// Who owns what in cabinets: sub-cabinets and texts held by their parent,
// duplicate, merge and copy, nesting bounds, and pointer values with their
// destroy procedures.
#include <string>
#include <vector>

#include "CabinetTestSupport.h"
#include "core/Callbacks.h"

namespace {

using cabtest::CabinetTest;
using qmtest::hostErrorOf;
using cabtest::X;

// A chain of `levels` cabinets, each holding the next under "next"; answers the top.
ASCab Chain(int levels) {
    ASCab top = X().cabNew();
    ASCab at = top;
    for (int i = 1; i < levels; ++i) {
        ASCab next = X().cabNew();
        X().cabPutCab(at, "next", next);
        at = next;
    }
    return top;
}

ASCab Deepest(ASCab top) {
    ASCab at = top;
    while (ASCab next = X().cabGetCab(at, "next")) at = next;
    return at;
}

TEST_F(CabinetTest, SubCabinetBelongsToItsParentAndItsHandleStaysUsable) {
    ASCab profile = X().cabNew();
    ASCab stamp = X().cabNew();
    X().cabPutCab(profile, "kStamp0", stamp);
    EXPECT_EQ(X().cabGetCab(profile, "kStamp0"), stamp);
    X().cabPutString(stamp, "kTextE", "filled after the put");
    EXPECT_STREQ(X().cabGetString(X().cabGetCab(profile, "kStamp0"), "kTextE"), "filled after the put");
    EXPECT_EQ(hostErrorOf([&] { X().cabDestroy(stamp); }), kHostErrBadParameter) << "the parent owns it";
    X().cabDestroy(profile);
    EXPECT_EQ(hostErrorOf([&] { X().cabNumEntries(stamp); }), kHostErrBadHandle) << "gone with its parent";
}

TEST_F(CabinetTest, ReplacingOrRemovingASubCabinetEndsIt) {
    ASCab parent = X().cabNew();
    ASCab first = X().cabNew();
    X().cabPutCab(parent, "k", first);
    X().cabPutInt(parent, "k", 3);
    EXPECT_EQ(hostErrorOf([&] { X().cabNumEntries(first); }), kHostErrBadHandle);
    ASCab second = X().cabNew();
    X().cabPutCab(parent, "k", second);
    X().cabRemove(parent, "k");
    EXPECT_EQ(hostErrorOf([&] { X().cabNumEntries(second); }), kHostErrBadHandle);
    X().cabDestroy(parent);
}

TEST_F(CabinetTest, HeldOrSelfContainingSubCabinetIsRefusedAndStaysTheCallers) {
    ASCab a = X().cabNew();
    ASCab b = X().cabNew();
    X().cabPutCab(a, "b", b);
    ASCab c = X().cabNew();
    EXPECT_EQ(hostErrorOf([&] { X().cabPutCab(c, "b", b); }), kHostErrBadParameter) << "b is a's";
    EXPECT_EQ(hostErrorOf([&] { X().cabPutCab(a, "self", a); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutCab(b, "up", a); }), kHostErrBadParameter) << "a holds b";
    EXPECT_FALSE(X().cabKnown(b, "up"));
    X().cabPutInt(c, "still mine", 1);
    X().cabDestroy(c);
    X().cabDestroy(a);
}

TEST_F(CabinetTest, NestingStopsAtTheDepthLimit) {
    ASCab top = Chain(kASCabMaxDepth);
    ASCab one = X().cabNew();
    EXPECT_EQ(hostErrorOf([&] { X().cabPutCab(Deepest(top), "next", one); }), kHostErrBadParameter);
    X().cabDestroy(one);
    ASCab two = Chain(2);
    ASCab nearlyFull = Chain(kASCabMaxDepth - 1);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutCab(Deepest(nearlyFull), "next", two); }), kHostErrBadParameter)
        << "the sub-cabinet's own levels count";
    X().cabDestroy(two);
    X().cabDestroy(nearlyFull);
    X().cabDestroy(top);
}

TEST_F(CabinetTest, TextBelongsToTheCabinetOnceItIsPut) {
    ASText text = X().textFromUTF8("1-3, 5");
    EXPECT_STREQ(X().textGetUTF8(text), "1-3, 5");
    ASCab cab = X().cabNew();
    X().cabPutText(cab, "kPagesE", text);
    EXPECT_EQ(X().cabGetText(cab, "kPagesE"), text);
    EXPECT_EQ(hostErrorOf([&] { X().textDestroy(text); }), kHostErrBadParameter);
    ASCab other = X().cabNew();
    EXPECT_EQ(hostErrorOf([&] { X().cabPutText(other, "k", text); }), kHostErrBadParameter);
    X().cabDestroy(other);
    X().cabDestroy(cab);
    EXPECT_EQ(hostErrorOf([&] { X().textGetUTF8(text); }), kHostErrBadHandle);
    EXPECT_EQ(hostErrorOf([&] { X().textFromUTF8(nullptr); }), kHostErrBadParameter);
}

TEST_F(CabinetTest, DuplicateIsDeepAndIndependent) {
    ASCab profile = X().cabNew();
    ASCab stamp = X().cabNew();
    X().cabPutString(stamp, "kTextE", "A");
    X().cabPutText(stamp, "kSelectFileE", X().textFromUTF8("/a.pdf"));
    X().cabPutCab(profile, "kStamp0", stamp);
    X().cabPutInt(profile, "kNumberOfStamps", 1);

    ASCab copy = X().cabDup(profile);
    ASCab copiedStamp = X().cabGetCab(copy, "kStamp0");
    ASSERT_NE(copiedStamp, nullptr);
    EXPECT_NE(copiedStamp, stamp);
    EXPECT_NE(X().cabGetText(copiedStamp, "kSelectFileE"), X().cabGetText(stamp, "kSelectFileE"));
    X().cabPutString(copiedStamp, "kTextE", "B");
    EXPECT_STREQ(X().cabGetString(stamp, "kTextE"), "A");
    EXPECT_STREQ(X().textGetUTF8(X().cabGetText(copiedStamp, "kSelectFileE")), "/a.pdf");
    X().cabDestroy(profile);
    EXPECT_STREQ(X().cabGetString(copiedStamp, "kTextE"), "B") << "the copy outlives the original";
    X().cabDestroy(copy);
}

TEST_F(CabinetTest, MergeMovesEntriesAndReplacesSameKeys) {
    ASCab dest = X().cabNew();
    X().cabPutInt(dest, "kept", 1);
    X().cabPutInt(dest, "both", 1);
    ASCab src = X().cabNew();
    X().cabPutInt(src, "both", 2);
    ASCab sub = X().cabNew();
    X().cabPutCab(src, "sub", sub);
    X().cabMerge(dest, src);
    EXPECT_EQ(X().cabGetInt(dest, "kept", 0), 1);
    EXPECT_EQ(X().cabGetInt(dest, "both", 0), 2);
    EXPECT_EQ(X().cabGetCab(dest, "sub"), sub) << "moved, not copied";
    EXPECT_EQ(X().cabNumEntries(src), 0);
    X().cabMerge(dest, dest);
    EXPECT_EQ(X().cabNumEntries(dest), 3);
    X().cabDestroy(src);
    EXPECT_EQ(X().cabNumEntries(sub), 0) << "the moved sub-cabinet is dest's now";
    X().cabDestroy(dest);
}

TEST_F(CabinetTest, MergeOfACabinetIntoOneItHoldsIsRefused) {
    ASCab outer = X().cabNew();
    ASCab inner = X().cabNew();
    X().cabPutCab(outer, "inner", inner);
    EXPECT_EQ(hostErrorOf([&] { X().cabMerge(inner, outer); }), kHostErrBadParameter);
    EXPECT_EQ(X().cabGetCab(outer, "inner"), inner);
    X().cabPutInt(inner, "x", 5);
    X().cabMerge(outer, inner);  // the other way round is sound
    EXPECT_EQ(X().cabGetInt(outer, "x", 0), 5);
    X().cabDestroy(outer);
}

TEST_F(CabinetTest, MergeThatReplacesTheEntryHoldingTheSourceIsSafe) {
    ASCab outer = X().cabNew();
    ASCab inner = X().cabNew();
    X().cabPutCab(outer, "inner", inner);
    X().cabPutInt(inner, "inner", 7);  // the same key as the entry that holds inner
    X().cabMerge(outer, inner);
    EXPECT_EQ(X().cabGetInt(outer, "inner", 0), 7);
    EXPECT_EQ(X().cabNumEntries(outer), 1);
    X().cabDestroy(outer);
}

TEST_F(CabinetTest, CopyLeavesTheSourceWhole) {
    ASCab src = X().cabNew();
    X().cabPutString(src, "kTextE", "x");
    X().cabPutCab(src, "sub", X().cabNew());
    ASCab dest = X().cabNew();
    X().cabPutString(dest, "kTextE", "old");
    X().cabCopy(src, dest);
    EXPECT_STREQ(X().cabGetString(dest, "kTextE"), "x");
    EXPECT_NE(X().cabGetCab(dest, "sub"), X().cabGetCab(src, "sub"));
    EXPECT_EQ(X().cabNumEntries(src), 2);
    X().cabDestroy(src);
    X().cabDestroy(dest);
}

// --- pointers

std::vector<void*> gDestroyed;
void RecordDestroy(void* pointer) { gDestroyed.push_back(pointer); }
void ThrowingDestroy(void*) { throw 42; }

ASCallback Callback(void (*proc)(void*)) {
    static const auto extension = reinterpret_cast<ExtensionID>(uintptr_t(0xCAB));
    return qmhost::callbacks().make(extension, reinterpret_cast<ASProc>(proc));
}

TEST_F(CabinetTest, PointerComesBackOnlyForItsOwnTypeName) {
    int stamp = 0;
    ASCab state = X().cabNew();
    X().cabPutPointer(state, "iStampObject", "CStamp*", &stamp, nullptr);
    EXPECT_EQ(X().cabGetPointer(state, "iStampObject", "CStamp*"), &stamp);
    EXPECT_EQ(X().cabGetPointer(state, "iStampObject", "AVCursor"), nullptr);
    EXPECT_EQ(hostErrorOf([&] { X().cabGetPointer(state, "iStampObject", nullptr); }), kHostErrBadParameter);
    EXPECT_EQ(hostErrorOf([&] { X().cabPutPointer(state, "p", nullptr, &stamp, nullptr); }),
              kHostErrBadParameter);
    const auto unknown = reinterpret_cast<ASCallback>(uintptr_t(0x7FFFFFF0));
    EXPECT_EQ(hostErrorOf([&] { X().cabPutPointer(state, "p", "T", &stamp, unknown); }), kHostErrBadParameter);
    X().cabDestroy(state);
}

TEST_F(CabinetTest, RemovingAPointerRunsItsDestroyProcedureOnce) {
    gDestroyed.clear();
    int a = 0, b = 0;
    ASCab state = X().cabNew();
    X().cabPutPointer(state, "iStampObject", "CStamp*", &a, Callback(RecordDestroy));
    X().cabPutPointer(state, "iStampObject", "CStamp*", &b, Callback(RecordDestroy));
    EXPECT_EQ(gDestroyed, std::vector<void*>{&a}) << "replacing lets the old one go";
    X().cabRemove(state, "iStampObject");
    EXPECT_EQ(gDestroyed, (std::vector<void*>{&a, &b}));
    X().cabRemove(state, "iStampObject");
    EXPECT_EQ(gDestroyed.size(), 2u);
    X().cabDestroy(state);
}

TEST_F(CabinetTest, DuplicatedPointerIsDestroyedWhenTheLastHolderLetsGo) {
    gDestroyed.clear();
    int stamp = 0;
    ASCab state = X().cabNew();
    X().cabPutPointer(state, "p", "CStamp*", &stamp, Callback(RecordDestroy));
    ASCab copy = X().cabDup(state);
    EXPECT_EQ(X().cabGetPointer(copy, "p", "CStamp*"), &stamp);
    X().cabDestroy(state);
    EXPECT_TRUE(gDestroyed.empty());
    X().cabDestroy(copy);
    EXPECT_EQ(gDestroyed, std::vector<void*>{&stamp});
}

TEST_F(CabinetTest, ThrowingDestroyProcedureDoesNotEscape) {
    int p = 0;
    ASCab state = X().cabNew();
    X().cabPutPointer(state, "p", "T", &p, Callback(ThrowingDestroy));
    EXPECT_EQ(hostErrorOf([&] { X().cabRemove(state, "p"); }), 0);
    EXPECT_FALSE(X().cabKnown(state, "p"));
    X().cabDestroy(state);
}

// A destroy procedure that ends another cabinet while the first one is removed.
ASCab gVictim = nullptr;
void DestroyVictim(void*) {
    X().cabDestroy(gVictim);
    gVictim = nullptr;
}

TEST_F(CabinetTest, DestroyProcedureMayCallBackIntoCabinets) {
    gVictim = X().cabNew();
    ASCab state = X().cabNew();
    X().cabPutPointer(state, "p", "T", nullptr, Callback(DestroyVictim));
    X().cabPutInt(state, "after", 1);
    X().cabDestroy(state);
    EXPECT_EQ(gVictim, nullptr);
}

}  // namespace
