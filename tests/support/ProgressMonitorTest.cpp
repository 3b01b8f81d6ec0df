#include <gtest/gtest.h>

#include "ScopedHostTables.h"
#include "common/PluginFixture.h"
#include "support/av/ProgressMonitor.h"

namespace {

TEST(NullProgressMonitor, GetDurationReturnsWhatSetDurationStoredAndZeroAfterBegin) {
    ASProgressMonitor m = &NullProgressMonitor;
    EXPECT_EQ(m->size, sizeof(ASProgressMonitorRec));
    m->setDuration(120, nullptr);
    m->setCurrValue(7, nullptr);
    EXPECT_EQ(m->getDuration(nullptr), 120);
    EXPECT_EQ(m->getCurrValue(nullptr), 7);
    m->beginOperation(nullptr);
    EXPECT_EQ(m->getDuration(nullptr), 0);
    EXPECT_EQ(m->getCurrValue(nullptr), 0);
    m->setCurrValue(3, nullptr);
    m->endOperation(nullptr);
    EXPECT_EQ(m->getCurrValue(nullptr), 3);  // end changes nothing
}

TEST(NullProgressMonitor, HasNoSetText) { EXPECT_EQ(NullProgressMonitor.setText, nullptr); }

// A scripted host that hands out one monitor with its client data.
int sHostValue = 0;
void HostSetCurrValue(int32_t value, void* clientData) {
    sHostValue = value + (clientData ? 1000 : 0);
}
ASProgressMonitorRec sHostMonitor = {sizeof(ASProgressMonitorRec), nullptr, nullptr, nullptr,
                                     HostSetCurrValue, nullptr, nullptr, nullptr};
int sHostData = 0;
bool sHostHasMonitor = true;
ASProgressMonitor GetProgressMonitor(void** outClientData) {
    if (!sHostHasMonitor) return nullptr;
    *outClientData = &sHostData;
    return &sHostMonitor;
}
AppViewTable MakeView() {
    AppViewTable t{};
    t.size = sizeof t;
    t.getProgressMonitor = GetProgressMonitor;
    return t;
}
const AppViewTable kViewTable = MakeView();

TEST(AcquireProgressMonitor, TakesTheHostsMonitorAndClientData) {
    ScopedHostTables tables(&kViewTable, nullptr, nullptr);
    sHostHasMonitor = true;
    void* clientData = nullptr;
    ASProgressMonitor m = AcquireProgressMonitor(&clientData);
    ASSERT_EQ(m, &sHostMonitor);
    EXPECT_EQ(clientData, &sHostData);
    m->setCurrValue(5, clientData);
    EXPECT_EQ(sHostValue, 1005);
}

TEST(AcquireProgressMonitor, HostWithoutMonitorGivesTheDoNothingMonitor) {
    ScopedHostTables tables(&kViewTable, nullptr, nullptr);
    sHostHasMonitor = false;
    int stale = 0;
    void* clientData = &stale;
    EXPECT_EQ(AcquireProgressMonitor(&clientData), &NullProgressMonitor);
    EXPECT_EQ(clientData, nullptr);
}

TEST(AcquireProgressMonitor, WithoutHostTablesGivesTheDoNothingMonitor) {
    ScopedHostTables none(nullptr, nullptr, nullptr);
    void* clientData = nullptr;
    EXPECT_EQ(AcquireProgressMonitor(&clientData), &NullProgressMonitor);
}

// The real host, started through its setup path.
TEST(AcquireProgressMonitor, RealHostMonitorIsUsableThroughItsEntries) {
    qmtest::StartLinkedPlugin();
    ASSERT_NE(gAppViewHFT, nullptr);
    void* clientData = nullptr;
    ASProgressMonitor m = AcquireProgressMonitor(&clientData);
    ASSERT_NE(m, nullptr);
    ASSERT_NE(m->setDuration, nullptr);
    m->beginOperation(clientData);
    m->setDuration(10, clientData);
    m->setCurrValue(4, clientData);
    EXPECT_EQ(m->getDuration(clientData), 10);
    EXPECT_EQ(m->getCurrValue(clientData), 4);
    m->endOperation(clientData);
}

}  // namespace
