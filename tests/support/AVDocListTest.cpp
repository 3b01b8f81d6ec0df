// CAVDocList: one undo manager per open document view, following the host's
// view notifications, with real views of the host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/PluginFixture.h"
#include "core/Callbacks.h"
#include "module/PluginLifeCycle.h"
#include "support/av/CAVDocList.h"
#include "support/av/CAVDocUndoManager.h"
#include "support/ErrorCode.h"
#include "support/HostTables.h"
#include "view/Notifications.h"

namespace {

// Notes the view of every manager deleted.
class LoggedManager : public CAVDocUndoManager {
public:
    LoggedManager(AVDoc inAVDoc, std::vector<AVDoc>& ioDeleted)
        : CAVDocUndoManager(inAVDoc, 10), mDeleted(ioDeleted) {}
    ~LoggedManager() override { mDeleted.push_back(GetAVDoc()); }

private:
    std::vector<AVDoc>& mDeleted;
};

// Holds the registry's own log; as the first base it outlives the managers
// that the registry's destructor deletes.
struct LogHolder {
    std::vector<AVDoc> mOwnLog;
};

class TestDocList : private LogHolder, public CAVDocList {
public:
    TestDocList() : mDeleted(mOwnLog) {}
    // Deleted managers are noted in ioLog, which may outlive the registry.
    explicit TestDocList(std::vector<AVDoc>& ioLog) : mDeleted(ioLog) {}
    CAVDocUndoManager* CreateManager(AVDoc inAVDoc) override {
        ++mCreated;
        return mFail ? nullptr : new LoggedManager(inAVDoc, mDeleted);
    }
    std::vector<AVDoc>& mDeleted;
    int mCreated = 0;
    bool mFail = false;
};

class CountedRecord : public CUndoManagerData {
public:
    explicit CountedRecord(int& ioDeleted) : mDeleted(ioDeleted) {}
    ~CountedRecord() override { ++mDeleted; }

private:
    int& mDeleted;
};

// The registrations of notifications 4 and 7 that the plug-in holds.
std::vector<qmhost::NotificationRegistration> ViewRegistrations() {
    std::vector<qmhost::NotificationRegistration> held;
    for (const auto& r : qmhost::notifications().heldBy(gExtensionID))
        if (r.notification == kNotifyViewAdded || r.notification == kNotifyViewRemoved) held.push_back(r);
    return held;
}

class AVDocListTest : public testing::Test {
protected:
    void SetUp() override {
        qmtest::StartLinkedPlugin();
        // The plug-in's own undo controller holds the view notifications; these
        // registries are tested without it.
        DeletePlugInUndoController();
        ASSERT_TRUE(ViewRegistrations().empty()) << "a registration was left behind";
    }
    void TearDown() override {
        for (AVDoc view : mOpen) gAppViewHFT->avDocClose(view, true);
        RemakePlugInUndoController();
    }
    AVDoc OpenView() {
        PDDoc doc = gPDModelHFT->docCreate();
        AVDoc view = gAppViewHFT->avDocOpenFromPDDoc(doc, "test");
        mOpen.push_back(view);
        return view;
    }
    void CloseView(AVDoc inView) {
        gAppViewHFT->avDocClose(inView, true);
        std::erase(mOpen, inView);
    }
    std::vector<AVDoc> mOpen;
};

TEST_F(AVDocListTest, TwoDocumentsGetTheirOwnManagers) {
    TestDocList list;
    AVDoc first = OpenView();
    AVDoc second = OpenView();
    ASSERT_EQ(list.GetManagerCount(), 2);
    ASSERT_NE(list.FindManager(first), nullptr);
    ASSERT_NE(list.FindManager(second), nullptr);
    EXPECT_NE(list.FindManager(first), list.FindManager(second));
    EXPECT_EQ(list.FindManager(first)->GetAVDoc(), first);
    EXPECT_EQ(list.FindManager(second)->GetAVDoc(), second);
}

TEST_F(AVDocListTest, ClosingOneViewDeletesOnlyItsManager) {
    TestDocList list;
    AVDoc first = OpenView();
    AVDoc second = OpenView();
    CAVDocUndoManager* kept = list.FindManager(second);
    CloseView(first);
    EXPECT_EQ(list.mDeleted, std::vector<AVDoc>{first});
    EXPECT_EQ(list.FindManager(first), nullptr);
    EXPECT_EQ(list.FindManager(second), kept);
    EXPECT_EQ(list.GetManagerCount(), 1);
}

TEST_F(AVDocListTest, RecordsGoToTheViewsOwnManager) {
    TestDocList list;
    AVDoc first = OpenView();
    AVDoc second = OpenView();
    int deleted = 0;
    auto* record = new CountedRecord(deleted);
    list.PushRecord(first, record);
    CUndoManagerData* out = nullptr;
    EXPECT_FALSE(list.PeekRecord(second, out));
    ASSERT_TRUE(list.PeekRecord(first, out));
    EXPECT_EQ(out, record);
    ASSERT_TRUE(list.PopRecord(first, out));
    EXPECT_EQ(out, record);
    EXPECT_FALSE(list.PopRecord(first, out));
    delete out;
    EXPECT_EQ(deleted, 1);
}

TEST_F(AVDocListTest, RecordPushedForAViewWithoutManagerIsDeletedNotLeaked) {
    TestDocList list;
    int deleted = 0;
    list.PushRecord(reinterpret_cast<AVDoc>(0x7777), new CountedRecord(deleted));
    EXPECT_EQ(deleted, 1);
    CUndoManagerData* out = nullptr;
    EXPECT_FALSE(list.PopRecord(reinterpret_cast<AVDoc>(0x7777), out));
    EXPECT_FALSE(list.PeekRecord(reinterpret_cast<AVDoc>(0x7777), out));
}

TEST_F(AVDocListTest, ClosingTheViewDeletesTheRecordsOfItsManager) {
    TestDocList list;
    AVDoc view = OpenView();
    int deleted = 0;
    list.PushRecord(view, new CountedRecord(deleted));
    list.PushRecord(view, new CountedRecord(deleted));
    CloseView(view);
    EXPECT_EQ(deleted, 2);
}

TEST_F(AVDocListTest, RemovingAViewWithoutManagerChangesNothing) {
    TestDocList list;
    OpenView();
    list.RemoveDocument(reinterpret_cast<AVDoc>(0x7777));
    EXPECT_EQ(list.GetManagerCount(), 1);
    EXPECT_TRUE(list.mDeleted.empty());
}

TEST_F(AVDocListTest, AddDocumentWithoutAManagerThrowsNoMemory) {
    TestDocList list;
    list.mFail = true;
    try {
        list.AddDocument(reinterpret_cast<AVDoc>(0x7777), nullptr);
        FAIL() << "no exception";
    } catch (ErrorCode code) {
        EXPECT_EQ(code, kErrNoMemory);
    }
    EXPECT_EQ(list.GetManagerCount(), 0);
}

TEST_F(AVDocListTest, AFailedManagerDoesNotThrowIntoTheHost) {
    TestDocList list;
    list.mFail = true;
    // Call the registered procedure as the host would, without the host's own catch.
    for (const auto& r : ViewRegistrations()) {
        if (r.notification != kNotifyViewAdded) continue;
        auto proc = qmhost::callbacks().as<void (*)(AVDoc, uint32_t, void*)>(r.callback);
        ASSERT_NE(proc, nullptr);
        EXPECT_NO_THROW(proc(reinterpret_cast<AVDoc>(0x7777), 0, r.clientData));
    }
    EXPECT_EQ(list.mCreated, 1);
    EXPECT_EQ(list.GetManagerCount(), 0);
}

TEST_F(AVDocListTest, DestructorDeletesTheManagersLastToFirst) {
    std::vector<AVDoc> deleted;
    AVDoc first = nullptr;
    AVDoc second = nullptr;
    AVDoc third = nullptr;
    {
        TestDocList list(deleted);
        first = OpenView();
        second = OpenView();
        third = OpenView();
        ASSERT_EQ(list.GetManagerCount(), 3);
    }
    EXPECT_EQ(deleted, (std::vector<AVDoc>{third, second, first}));
    // The views outlive the registry; closing them now reaches no deleted object.
    CloseView(second);
    EXPECT_EQ(deleted.size(), 3u);
}

TEST_F(AVDocListTest, SecondRegistryGetsNoNotificationsWhileTheFirstLives) {
    TestDocList first;
    TestDocList second;
    EXPECT_TRUE(first.IsRegistered());
    EXPECT_FALSE(second.IsRegistered());
    AVDoc view = OpenView();
    EXPECT_NE(first.FindManager(view), nullptr);
    EXPECT_EQ(second.FindManager(view), nullptr);
    EXPECT_EQ(second.mCreated, 0);
    CloseView(view);
    EXPECT_EQ(first.mDeleted, std::vector<AVDoc>{view});
    EXPECT_TRUE(second.mDeleted.empty());
}

TEST_F(AVDocListTest, DeletedRegistryLeavesNoRegistrationAndTheNextOneRegisters) {
    auto* first = new TestDocList;
    EXPECT_EQ(ViewRegistrations().size(), 2u);
    delete first;
    EXPECT_TRUE(ViewRegistrations().empty());
    // A view opened now reaches no deleted registry (the sanitizer would see it).
    AVDoc early = OpenView();
    TestDocList next;
    EXPECT_TRUE(next.IsRegistered());
    EXPECT_EQ(next.FindManager(early), nullptr);
    AVDoc view = OpenView();
    EXPECT_NE(next.FindManager(view), nullptr);
}

}  // namespace
