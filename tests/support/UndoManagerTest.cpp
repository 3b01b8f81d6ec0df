// CUndoManager and CAVDocUndoManager: a bounded stack that owns its records,
// drops the oldest beyond its depth and hands back the newest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "support/av/CAVDocUndoManager.h"
#include "support/CUndoManager.h"
#include "support/ErrorCode.h"

namespace {

// A record that notes its deletion in a shared log.
class LoggedRecord : public CUndoManagerData {
public:
    LoggedRecord(int inId, std::vector<int>& ioDeleted) : mId(inId), mDeleted(ioDeleted) {}
    ~LoggedRecord() override { mDeleted.push_back(mId); }
    int Id() const { return mId; }

private:
    int mId;
    std::vector<int>& mDeleted;
};

int IdOf(CUndoManagerData* inRecord) { return static_cast<LoggedRecord*>(inRecord)->Id(); }

class UndoManagerTest : public testing::Test {
protected:
    CUndoManagerData* Make(int inId) { return new LoggedRecord(inId, mDeleted); }
    void PushIds(CUndoManager& ioManager, int inFirst, int inLast) {
        for (int id = inFirst; id <= inLast; ++id) ioManager.Push(Make(id));
    }
    // Pops everything, newest first, deleting each record after reading it.
    std::vector<int> PopAll(CUndoManager& ioManager) {
        std::vector<int> ids;
        CUndoManagerData* record = nullptr;
        while (ioManager.Pop(record)) {
            ids.push_back(IdOf(record));
            delete record;
        }
        return ids;
    }

    std::vector<int> mDeleted;
};

// Pushes, a depth change or a clear, more pushes: which records the manager
// deleted (in that order) and which it hands back, newest first.
TEST_F(UndoManagerTest, KeepsTheNewestRecordsWithinItsDepth) {
    const struct {
        const char* name;
        uint32_t depth;
        int pushed;         // ids 1..pushed
        int newDepth;       // -1: kept
        bool clear;
        int pushedAfter;    // ids pushed+1..pushedAfter
        std::vector<int> deleted;
        std::vector<int> popped;
    } rows[] = {
        {"depth 3, five pushes", 3, 5, -1, false, 5, {1, 2}, {5, 4, 3}},
        {"shrunk to 2", 10, 5, 2, false, 5, {1, 2, 3}, {5, 4}},
        {"grown to 5", 2, 2, 5, false, 5, {}, {5, 4, 3, 2, 1}},
        {"depth 0", 0, 2, -1, false, 2, {1, 2}, {}},
        {"cleared, then used again", 5, 3, -1, true, 4, {3, 2, 1}, {4}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        mDeleted.clear();
        CUndoManager manager(row.depth);
        PushIds(manager, 1, row.pushed);
        if (row.newDepth >= 0) manager.SetDepth(static_cast<uint32_t>(row.newDepth));
        if (row.clear) manager.Clear();
        PushIds(manager, row.pushed + 1, row.pushedAfter);
        EXPECT_EQ(manager.GetDepth(), row.newDepth >= 0 ? static_cast<uint32_t>(row.newDepth) : row.depth);
        EXPECT_EQ(mDeleted, row.deleted);
        mDeleted.clear();
        // Peek hands the newest record twice and leaves it on the stack.
        CUndoManagerData* first = nullptr;
        CUndoManagerData* second = nullptr;
        ASSERT_EQ(manager.Peek(first), !row.popped.empty());
        if (first) {
            ASSERT_TRUE(manager.Peek(second));
            EXPECT_EQ(first, second);
            EXPECT_EQ(IdOf(first), row.popped.front());
        }
        EXPECT_EQ(PopAll(manager), row.popped);
        EXPECT_EQ(mDeleted, row.popped) << "each popped record deleted once, by its caller";
        EXPECT_FALSE(manager.Peek(first));
    }
}

// Without a stack Pop and Peek answer false and leave the output alone; Clear
// does nothing.
TEST_F(UndoManagerTest, WithoutAStackNothingIsHandedBack) {
    CUndoManager manager;
    manager.Clear();
    CUndoManagerData* sentinel = Make(99);
    CUndoManagerData* record = sentinel;
    EXPECT_FALSE(manager.Pop(record));
    EXPECT_FALSE(manager.Peek(record));
    EXPECT_EQ(record, sentinel);
    EXPECT_EQ(manager.GetDepth(), 0u);
    delete sentinel;
}

TEST_F(UndoManagerTest, ClearSkipsANullRecord) {
    CUndoManager manager(5);
    manager.Push(nullptr);
    PushIds(manager, 1, 1);
    manager.Clear();
    EXPECT_EQ(mDeleted, (std::vector<int>{1}));
}

// The destructor deletes what is still held; a popped record is the caller's.
TEST_F(UndoManagerTest, PoppedRecordBelongsToTheCaller) {
    CUndoManagerData* record = nullptr;
    {
        CUndoManager manager(5);
        PushIds(manager, 1, 3);
        ASSERT_TRUE(manager.Pop(record));
    }
    EXPECT_EQ(mDeleted, (std::vector<int>{2, 1}));
    delete record;
    EXPECT_EQ(mDeleted, (std::vector<int>{2, 1, 3}));
}

TEST_F(UndoManagerTest, PushWithoutStackReportsTheAssertionAndDoesNotLeakTheRecord) {
    qmtest::StartLinkedPlugin();
    qmtest::TakeAlerts();
    CUndoManager manager;
    try {
        manager.Push(Make(7));
        FAIL() << "pushed without a stack";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrAssertion);
    }
    EXPECT_EQ(mDeleted, (std::vector<int>{7}));
    const auto alerts = qmtest::TakeAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_NE(alerts[0].find("Assertion 'mUndoStack != NULL' failed"), std::string::npos);
}

// A record with a payload of a chosen size, filled with its own id.
class PayloadRecord : public CUndoManagerData {
public:
    explicit PayloadRecord(unsigned char inId) : mId(inId) {}
    virtual bool Intact() const = 0;

protected:
    unsigned char mId;
};

template <size_t Size>
class SizedRecord : public PayloadRecord {
public:
    explicit SizedRecord(unsigned char inId) : PayloadRecord(inId) { std::fill(mPayload, mPayload + Size, inId); }
    bool Intact() const override {
        return std::all_of(mPayload, mPayload + Size, [&](unsigned char byte) { return byte == mId; });
    }

private:
    unsigned char mPayload[Size];
};

template <size_t Size>
PayloadRecord* MakeSized(unsigned char inId) {
    return new SizedRecord<Size>(inId);
}

// Records of every size share one pool whose memory goes back to the heap
// when the last record goes: records that live on are never handed out again
// or freed under them (the address sanitizer reports a use after free).
TEST(UndoRecordMemory, RecordsOfEverySizeSurviveTheDeletionOfOthers) {
    const struct {
        const char* name;
        PayloadRecord* (*make)(unsigned char);
    } rows[] = {
        {"no payload", MakeSized<1>},
        {"the size of an element record", MakeSized<48>},
        {"a few hundred bytes", MakeSized<300>},
        {"larger than any pool block", MakeSized<70000>},
        {"made without exceptions",
         [](unsigned char id) -> PayloadRecord* { return new (std::nothrow) SizedRecord<100>(id); }},
    };
    for (int round = 0; round < 2; ++round) {
        std::vector<PayloadRecord*> records;
        for (size_t i = 0; i < 200; ++i) {
            PayloadRecord* record = rows[i % std::size(rows)].make(static_cast<unsigned char>(i));
            ASSERT_NE(record, nullptr) << rows[i % std::size(rows)].name;
            records.push_back(record);
        }
        // Every other record goes; the rest keep their bytes, also when new
        // records take the freed places.
        for (size_t i = 0; i < records.size(); i += 2) delete records[i];
        for (size_t i = 0; i < records.size(); i += 2)
            records[i] = rows[i % std::size(rows)].make(static_cast<unsigned char>(255 - i));
        for (size_t i = 0; i < records.size(); ++i)
            EXPECT_TRUE(records[i]->Intact()) << rows[i % std::size(rows)].name << " " << i << " round " << round;
        // The last one gone, the pool starts afresh in the next round.
        for (PayloadRecord* record : records) delete record;
    }
}

TEST(CAVDocUndoManager, KeepsItsViewAndItsDepth) {
    AVDoc view = reinterpret_cast<AVDoc>(0x1234);
    CAVDocUndoManager manager(view, 4);
    EXPECT_EQ(manager.GetAVDoc(), view);
    EXPECT_EQ(manager.GetDepth(), 4u);
    CAVDocUndoManager empty;
    EXPECT_EQ(empty.GetAVDoc(), nullptr);
    EXPECT_EQ(empty.GetDepth(), 0u);
}

}  // namespace
