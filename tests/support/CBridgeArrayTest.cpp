#include <gtest/gtest.h>

#include <ostream>

#include <algorithm>
#include <random>
#include <vector>

#include "support/CBridgeArray.h"
#include "support/CBridgeStack.h"
#include "support/ErrorCode.h"

namespace {

// Orders int elements by value; keys are int values. Counts its calls and lives.
class IntComparator : public CBridgeArrayComparator {
public:
    static inline int sCompareCalls = 0;
    static inline int sAlive = 0;
    static inline size_t sLastSize = 0;

    IntComparator() { ++sAlive; }
    ~IntComparator() override { --sAlive; }

    static int ValueOf(const void* item) { return *static_cast<const int*>(*static_cast<void* const*>(item)); }

    int32_t Compare(const void* a, const void* b, size_t sizeA, size_t sizeB) const override {
        ++sCompareCalls;
        sLastSize = sizeA == sizeB ? sizeA : 0;
        return ValueOf(a) - ValueOf(b);
    }
    int32_t CompareToKey(const void* item, size_t, CBridgeArrayKey key) const override {
        return ValueOf(item) - static_cast<int>(key);
    }
    CBridgeArrayComparator* Clone() const override { return new IntComparator; }
};

class CBridgeArrayTest : public ::testing::Test {
protected:
    void SetUp() override { IntComparator::sCompareCalls = 0; }
    void TearDown() override { EXPECT_EQ(IntComparator::sAlive, 0) << "a comparator leaked"; }

    // An array of the values, in this order, with an IntComparator.
    void Fill(CBridgeArray& array, std::initializer_list<int> values) {
        mValues.assign(values.begin(), values.end());
        mValues.reserve(64);  // element addresses must stay put
        for (int& v : mValues) array.Append(&v);
    }
    static std::vector<int> ValuesOf(const CBridgeArray& array) {
        std::vector<int> out;
        for (int32_t i = 0; i < array.GetCount(); ++i) {
            int* p = nullptr;
            EXPECT_TRUE(array.GetAt(i, p));
            out.push_back(*p);
        }
        return out;
    }

    std::vector<int> mValues;
};


TEST_F(CBridgeArrayTest, GetAtLastIndexOnEmptyArrayFailsAndLeavesOutAlone) {
    CBridgeArray array;
    int sentinel = 0;
    void* out = &sentinel;
    EXPECT_FALSE(array.GetAt(CBridgeArray::kLastIndex, out));
    EXPECT_EQ(out, &sentinel);
}

TEST_F(CBridgeArrayTest, GetAtLastIndexOnOneElementYieldsElementZero) {
    CBridgeArray array;
    int a = 1;
    array.Append(&a);
    void* out = nullptr;
    EXPECT_TRUE(array.GetAt(CBridgeArray::kLastIndex, out));
    EXPECT_EQ(out, &a);
}

TEST_F(CBridgeArrayTest, AppendOnEmptyArrayInsertsAtZero) {
    CBridgeArray array;
    int a = 1;
    EXPECT_EQ(array.Append(&a), 0);
    EXPECT_EQ(array.GetCount(), 1);
}

TEST_F(CBridgeArrayTest, InsertAtLastIndexAppendsAndAnswersTheOldCount) {
    CBridgeArray array;
    Fill(array, {1, 2, 3});
    int d = 4;
    EXPECT_EQ(array.InsertAt(CBridgeArray::kLastIndex, &d), 3);
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{1, 2, 3, 4}));
}

TEST_F(CBridgeArrayTest, InsertAtMovesLaterElementsUpAndRefusesIndexesBeyondTheCount) {
    CBridgeArray array;
    Fill(array, {1, 2});
    int x = 9;
    EXPECT_EQ(array.InsertAt(1, &x), 1);  // later elements move up
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{1, 9, 2}));
    EXPECT_EQ(array.InsertAt(4, &x), CBridgeArray::kNotFound);
    EXPECT_EQ(array.InsertAt(-2, &x), CBridgeArray::kNotFound);
    EXPECT_EQ(array.GetCount(), 3);
}

TEST_F(CBridgeArrayTest, IndexOfOnUnsortedArrayComparesPointersOnly) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    int a = 5, twin = 5;
    array.Append(&a);
    EXPECT_EQ(array.IndexOf(&a), 0);
    EXPECT_EQ(array.IndexOf(&twin), CBridgeArray::kNotFound);
    EXPECT_EQ(IntComparator::sCompareCalls, 0);
}

TEST_F(CBridgeArrayTest, RemoveAtLastIndexRemovesTheLastElement) {
    CBridgeArray array;
    Fill(array, {1, 2, 3});
    array.RemoveAt(CBridgeArray::kLastIndex);
    array.RemoveAt(0);
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{2}));
}

TEST_F(CBridgeArrayTest, RemoveAtAnIndexThatDenotesNoElementIsIgnored) {
    CBridgeArray array;
    Fill(array, {1, 2});
    array.RemoveAt(2);
    array.RemoveAt(-1);
    EXPECT_EQ(array.GetCount(), 2);
    CBridgeArray empty;
    empty.RemoveAt(CBridgeArray::kLastIndex);
    EXPECT_EQ(empty.GetCount(), 0);
}

TEST_F(CBridgeArrayTest, RemoveOfAPointerNotInTheArrayDoesNothing) {
    CBridgeArray array;
    Fill(array, {1, 2});
    int stranger = 1;
    array.Remove(&stranger);
    EXPECT_EQ(array.GetCount(), 2);
    array.Remove(&mValues[0]);
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{2}));
}

TEST_F(CBridgeArrayTest, RemoveAllKeepsTheComparatorAndFlags) {
    CBridgeArray array;
    auto* comparator = new IntComparator;
    array.SetComparator(comparator);
    array.SetKeepSorted(true);
    Fill(array, {3, 1});
    array.Sort(false);
    array.RemoveAll();
    EXPECT_EQ(array.GetCount(), 0);
    EXPECT_EQ(array.GetComparator(), comparator);
    EXPECT_TRUE(array.IsSorted());
    EXPECT_TRUE(array.IsKeepSorted());
}

TEST_F(CBridgeArrayTest, SortOfFewerThanTwoElementsMarksSortedWithoutComparing) {
    for (int count : {0, 1}) {
        CBridgeArray array;
        array.SetComparator(new IntComparator);
        int a = 1;
        if (count) array.Append(&a);
        array.Sort(true);
        EXPECT_TRUE(array.IsSorted()) << count;
        EXPECT_EQ(IntComparator::sCompareCalls, 0) << count;
    }
}

TEST_F(CBridgeArrayTest, SortOrdersAscendingAndKeepsEveryElement) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    std::vector<int> values(40);
    std::mt19937 random(7);
    for (int& v : values) v = static_cast<int>(random() % 25);  // with duplicates
    for (int& v : values) array.Append(&v);
    array.Sort(false);
    std::vector<int> expected = values;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(ValuesOf(array), expected);
    // The same pointers, only reordered.
    std::vector<void*> stored, original;
    for (int32_t i = 0; i < array.GetCount(); ++i) {
        void* p = nullptr;
        array.GetAt(i, p);
        stored.push_back(p);
    }
    for (int& v : values) original.push_back(&v);
    std::sort(stored.begin(), stored.end());
    std::sort(original.begin(), original.end());
    EXPECT_EQ(stored, original);
}

TEST_F(CBridgeArrayTest, SortWithoutForceOnASortedArrayDoesNothing) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {3, 1, 2});
    array.Sort(false);
    IntComparator::sCompareCalls = 0;
    array.Sort(false);
    EXPECT_EQ(IntComparator::sCompareCalls, 0);
    array.Sort(true);
    EXPECT_GT(IntComparator::sCompareCalls, 0);
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{1, 2, 3}));
}

TEST_F(CBridgeArrayTest, ComparatorGetsTheAddressOfTheStoredPointerAndItsSize) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {2, 1});
    array.Sort(false);  // IntComparator dereferences through the address it is given
    EXPECT_EQ(IntComparator::sLastSize, sizeof(void*));
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{1, 2}));
}

TEST_F(CBridgeArrayTest, KeepSortedInsertIntoSortedArrayIgnoresTheIndex) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    array.SetKeepSorted(true);
    Fill(array, {10, 20, 30, 40, 50, 60});
    array.Sort(false);
    int x = 15;
    EXPECT_EQ(array.InsertAt(5, &x), 1);
    EXPECT_TRUE(array.IsSorted());
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{10, 15, 20, 30, 40, 50, 60}));
}

TEST_F(CBridgeArrayTest, InsertWithoutKeepSortedUsesTheIndexAndClearsSorted) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {10, 20, 30, 40, 50, 60});
    array.Sort(false);
    int twin = 30;
    EXPECT_EQ(array.IndexOf(&twin), 2);  // sorted: found by comparison
    int x = 15;
    EXPECT_EQ(array.InsertAt(5, &x), 5);
    EXPECT_FALSE(array.IsSorted());
    EXPECT_EQ(array.IndexOf(&twin), CBridgeArray::kNotFound);  // now a pointer scan
    EXPECT_EQ(array.IndexOf(&x), 5);
}

TEST_F(CBridgeArrayTest, KeepSortedOnAnUnsortedArrayAppends) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    array.SetKeepSorted(true);
    Fill(array, {30, 10});
    int x = 20;
    EXPECT_EQ(array.Append(&x), 2);
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{30, 10, 20}));
}

struct InsertionRow {
    const char* name;
    int value;
    int32_t expected;
};
void PrintTo(const InsertionRow& row, std::ostream* os) { *os << row.name; }

class CBridgeArrayInsertionIndex : public CBridgeArrayTest,
                                   public ::testing::WithParamInterface<InsertionRow> {};

TEST_P(CBridgeArrayInsertionIndex, FindsThePlaceThatKeepsTheOrder) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {10, 20, 30});
    array.Sort(false);
    int item = GetParam().value;
    EXPECT_EQ(array.InsertionIndex(&item), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CBridgeArrayInsertionIndex,
    ::testing::Values(InsertionRow{"BeforeAll", 5, 0}, InsertionRow{"BetweenFirstAndSecond", 15, 1},
                      InsertionRow{"BetweenSecondAndThird", 25, 2}, InsertionRow{"AfterAll", 35, 3},
                      InsertionRow{"EqualGoesBeforeTheElementMet", 20, 1}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CBridgeArrayTest, InsertionIndexOfAnEmptySortedArrayIsZero) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    array.Sort(false);
    int x = 1;
    EXPECT_EQ(array.InsertionIndex(&x), 0);
}

TEST_F(CBridgeArrayTest, InsertionIndexOfAnUnsortedArrayAppends) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {10, 20});
    int x = 1;
    EXPECT_EQ(array.InsertionIndex(&x), CBridgeArray::kLastIndex);
}

TEST_F(CBridgeArrayTest, BinarySearchAndSearchByKeyFindEqualElements) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {50, 10, 40, 20, 30});
    array.Sort(false);
    int probe = 40, missing = 45;
    EXPECT_EQ(array.BinarySearch(&probe), 3);
    EXPECT_EQ(array.BinarySearch(&missing), CBridgeArray::kNotFound);
    EXPECT_EQ(array.SearchByKey(10), 0);
    EXPECT_EQ(array.SearchByKey(50), 4);
    EXPECT_EQ(array.SearchByKey(11), CBridgeArray::kNotFound);
}

TEST_F(CBridgeArrayTest, IndexOfKeyOnUnsortedArrayFindsTheFirstMatch) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {7, 3, 7});
    EXPECT_EQ(array.IndexOfKey(7), 0);
    EXPECT_EQ(array.IndexOfKey(4), CBridgeArray::kNotFound);
    int* found = nullptr;
    EXPECT_TRUE(array.GetByKey(3, found));
    EXPECT_EQ(found, &mValues[1]);
    EXPECT_FALSE(array.GetByKey(4, found));
    EXPECT_EQ(found, &mValues[1]);
}

TEST_F(CBridgeArrayTest, IndexOfKeyOnSortedArraySearchesBinarily) {
    CBridgeArray array;
    array.SetComparator(new IntComparator);
    Fill(array, {9, 1, 5});
    array.Sort(false);
    EXPECT_EQ(array.IndexOfKey(5), 1);
    EXPECT_EQ(array.IndexOfKey(9), 2);
}

struct NeedsComparatorRow {
    const char* name;
    void (*call)(CBridgeArray&);
};
void PrintTo(const NeedsComparatorRow& row, std::ostream* os) { *os << row.name; }

class CBridgeArrayWithoutComparator : public ::testing::TestWithParam<NeedsComparatorRow> {};

TEST_P(CBridgeArrayWithoutComparator, ReportsAFailedAssertion) {
    CBridgeArray array;
    int a = 1;
    array.Append(&a);
    try {
        GetParam().call(array);
        ADD_FAILURE() << "no assertion";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    EXPECT_EQ(array.GetCount(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CBridgeArrayWithoutComparator,
    ::testing::Values(
        NeedsComparatorRow{"IndexOfKey", [](CBridgeArray& a) { a.IndexOfKey(1); }},
        NeedsComparatorRow{"SearchByKey", [](CBridgeArray& a) { a.SearchByKey(1); }},
        NeedsComparatorRow{"InsertionIndex", [](CBridgeArray& a) { int x = 0; a.InsertionIndex(&x); }},
        NeedsComparatorRow{"Sort", [](CBridgeArray& a) { a.Sort(true); }}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(CBridgeArrayTest, ComparatorIsOwnedButElementsAreNot) {
    int* element = new int(3);
    {
        CBridgeArray array;
        array.SetComparator(new IntComparator);
        array.SetComparator(new IntComparator);
        EXPECT_EQ(IntComparator::sAlive, 1);  // the replaced one is deleted
        array.Append(element);
    }
    EXPECT_EQ(IntComparator::sAlive, 0);
    EXPECT_EQ(*element, 3);  // still ours (ASan would catch a delete)
    delete element;
}

TEST_F(CBridgeArrayTest, CopyTakesPointersFlagsAndAClonedComparator) {
    CBridgeArray source;
    source.SetComparator(new IntComparator);
    source.SetKeepSorted(true);
    Fill(source, {2, 1});
    source.Sort(false);
    CBridgeArray copy;
    copy = source;
    EXPECT_EQ(ValuesOf(copy), (std::vector<int>{1, 2}));
    EXPECT_TRUE(copy.IsSorted());
    EXPECT_TRUE(copy.IsKeepSorted());
    ASSERT_NE(copy.GetComparator(), nullptr);
    EXPECT_NE(copy.GetComparator(), source.GetComparator());
    EXPECT_NE(dynamic_cast<IntComparator*>(copy.GetComparator()), nullptr);
    void* a = nullptr;
    void* b = nullptr;
    copy.GetAt(0, a);
    source.GetAt(0, b);
    EXPECT_EQ(a, b);  // shallow
}

TEST_F(CBridgeArrayTest, CopyOntoItselfChangesNothing) {
    CBridgeArray array;
    auto* comparator = new IntComparator;
    array.SetComparator(comparator);
    Fill(array, {1, 2});
    array.Copy(array);
    EXPECT_EQ(array.GetComparator(), comparator);
    EXPECT_EQ(ValuesOf(array), (std::vector<int>{1, 2}));
}

TEST_F(CBridgeArrayTest, CopyFromAnArrayWithoutComparatorLeavesNone) {
    CBridgeArray source;
    CBridgeArray copy;
    copy.SetComparator(new IntComparator);
    copy.Copy(source);
    EXPECT_EQ(copy.GetComparator(), nullptr);
    EXPECT_EQ(IntComparator::sAlive, 0);
}

// Remove in a sorted array used to take whatever element compared equal; the
// caller's own pointer then stayed in the array after its owner deleted it.
TEST_F(CBridgeArrayTest, RemoveOnSortedArrayRemovesThatPointerNotAnEqualOne) {
    // Each of the three fives in turn: the binary search meets only one of them.
    for (size_t t : {1u, 2u, 3u}) {
        CBridgeArray array;
        array.SetComparator(new IntComparator);
        Fill(array, {1, 5, 5, 5, 9});
        array.Sort(false);
        int* target = &mValues[t];
        array.Remove(target);
        EXPECT_EQ(array.GetCount(), 4) << t;
        EXPECT_NE(array.IndexOf(target), CBridgeArray::kNotFound) << t;  // an equal five is found...
        for (int32_t i = 0; i < array.GetCount(); ++i) {
            void* p = nullptr;
            array.GetAt(i, p);
            EXPECT_NE(p, target) << t;  // ...but the removed pointer is gone
        }
        int stranger = 5;  // equal to elements, but not in the array
        array.Remove(&stranger);
        EXPECT_EQ(array.GetCount(), 4) << t;
    }
}

// A subclass that records what RemoveAt is asked: the array's own operations
// go through it.
class RecordingArray : public CBridgeArray {
public:
    void RemoveAt(int32_t index) override {
        removed.push_back(index);
        CBridgeArray::RemoveAt(index);
    }
    std::vector<int32_t> removed;
};

TEST_F(CBridgeArrayTest, RemoveAllAndRemoveGoThroughTheVirtualRemoveAt) {
    RecordingArray array;
    Fill(array, {1, 2, 3});
    array.Remove(&mValues[1]);
    array.RemoveAll();
    EXPECT_EQ(array.removed, (std::vector<int32_t>{1, 1, 0}));
}

TEST(CBridgeArrayComparator, BaseComparatorCallsEverythingEqual) {
    CBridgeArrayComparator base;
    int a = 1, b = 2;
    void* pa = &a;
    void* pb = &b;
    EXPECT_EQ(base.Compare(&pa, &pb, sizeof(void*), sizeof(void*)), 0);
    EXPECT_TRUE(base.IsEqual(&pa, &pb, sizeof(void*), sizeof(void*)));
    EXPECT_EQ(base.CompareToKey(&pa, sizeof(void*), 42), 0);
    EXPECT_TRUE(base.MatchesKey(&pa, sizeof(void*), 42));
    CBridgeArrayComparator* clone = base.Clone();
    EXPECT_NE(clone, &base);
    delete clone;
}

TEST(CBridgeStack, PopOnEmptyStackFails) {
    CBridgeStack stack;
    int sentinel = 0;
    void* out = &sentinel;
    EXPECT_FALSE(stack.Pop(out));
    EXPECT_EQ(out, &sentinel);
}

TEST(CBridgeStack, PopsInReverseOrderOfPushes) {
    CBridgeStack stack(1000000);
    int a = 1, b = 2, c = 3;
    stack.Push(&a);
    stack.Push(&b);
    stack.Push(&c);
    int* out = nullptr;
    ASSERT_TRUE(stack.Pop(out));
    EXPECT_EQ(out, &c);
    ASSERT_TRUE(stack.Pop(out));
    EXPECT_EQ(out, &b);
    ASSERT_TRUE(stack.Pop(out));
    EXPECT_EQ(out, &a);
    EXPECT_FALSE(stack.Pop(out));
}

TEST(CBridgeStack, ClearDropsEveryElementWithoutDeletingIt) {
    CBridgeStack stack;
    int a = 1, b = 2;  // on the stack frame: a delete would be caught by ASan
    stack.Push(&a);
    stack.Push(&b);
    stack.Clear();
    EXPECT_EQ(stack.GetCount(), 0);
    EXPECT_EQ(a + b, 3);
}

}  // namespace
