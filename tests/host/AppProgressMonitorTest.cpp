// The application's progress monitor: its record as the plug-ins get it, nested
// begin/end, the bar drawn on a terminal and nothing drawn elsewhere.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "HostTables.h"
#include "cabinet/HostText.h"
#include "qmhost/AppViewTable.h"
#include "view/ProgressMonitor.h"

namespace {

using qmhost::ProgressMonitor;

// A stream whose bytes the test can read back.
class CapturedStream {
public:
    CapturedStream() : mFile(std::tmpfile()) {}
    ~CapturedStream() { std::fclose(mFile); }
    std::FILE* file() const { return mFile; }
    std::string text() const {
        std::fflush(mFile);
        std::string out;
        std::rewind(mFile);
        for (int c; (c = std::fgetc(mFile)) != EOF;) out += static_cast<char>(c);
        return out;
    }

private:
    std::FILE* mFile;
};

class AppProgressMonitor : public ::testing::Test {
protected:
    void SetUp() override { qmhost::progressMonitor().reset(); }
    void TearDown() override { qmhost::progressMonitor().reset(); }
};

TEST_F(AppProgressMonitor, HostHandsOutTheRealMonitorWithItsClientData) {
    qmhost::registerHostTables();
    void* clientData = nullptr;
    ASProgressMonitor monitor = qmhost::appViewTable()->getProgressMonitor(&clientData);
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->size, sizeof(ASProgressMonitorRec));
    EXPECT_EQ(clientData, &qmhost::progressMonitor());
    ASSERT_NE(monitor->setText, nullptr);
    qmhost::progressMonitor().setOutput(nullptr);
    monitor->beginOperation(clientData);
    monitor->setDuration(40, clientData);
    monitor->setCurrValue(monitor->getCurrValue(clientData) + 10, clientData);
    EXPECT_EQ(monitor->getDuration(clientData), 40);
    EXPECT_EQ(monitor->getCurrValue(clientData), 10);
    auto text = std::make_unique<qmhost::HostText>("page 3");
    monitor->setText(text->handle(), clientData);
    EXPECT_EQ(qmhost::progressMonitor().text(), "page 3");
    monitor->endOperation(clientData);
    EXPECT_EQ(qmhost::progressMonitor().depth(), 0);
}

TEST_F(AppProgressMonitor, StaleTextShowsNoTextInsteadOfFailingTheRun) {
    void* clientData = nullptr;
    ASProgressMonitor monitor = qmhost::progressMonitorRecord(&clientData);
    ASText stale = nullptr;
    {
        qmhost::HostText text("gone");
        stale = text.handle();
    }
    qmhost::progressMonitor().setText("old");
    EXPECT_NO_THROW(monitor->setText(stale, clientData));
    EXPECT_EQ(qmhost::progressMonitor().text(), "");
}

TEST_F(AppProgressMonitor, NestedBeginAndEndKeepTheOuterOperation) {
    ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.setOutput(nullptr);
    monitor.begin();
    monitor.setDuration(10);
    monitor.setCurrValue(4);
    monitor.begin();  // an inner operation (an undo inside a run) does not restart the bar
    EXPECT_EQ(monitor.depth(), 2);
    EXPECT_EQ(monitor.currValue(), 4);
    monitor.end();
    EXPECT_EQ(monitor.depth(), 1);
    monitor.end();
    monitor.end();  // one end too many is tolerated
    EXPECT_EQ(monitor.depth(), 0);
    monitor.begin();
    EXPECT_EQ(monitor.currValue(), 0) << "a new outermost operation starts from zero";
    EXPECT_EQ(monitor.duration(), 0);
}

TEST_F(AppProgressMonitor, NegativeValuesAreTakenAsZero) {
    ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.setOutput(nullptr);
    monitor.begin();
    monitor.setDuration(-5);
    monitor.setCurrValue(-1);
    EXPECT_EQ(monitor.duration(), 0);
    EXPECT_EQ(monitor.currValue(), 0);
}

struct LineRow {
    const char* name;
    int32_t duration;
    int32_t value;
    const char* text;
    const char* expected;
};

class ProgressLine : public AppProgressMonitor, public ::testing::WithParamInterface<LineRow> {};

TEST_P(ProgressLine, ShowsTheShareDone) {
    ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.setOutput(nullptr);
    monitor.begin();
    monitor.setDuration(GetParam().duration);
    monitor.setCurrValue(GetParam().value);
    monitor.setText(GetParam().text);
    EXPECT_EQ(monitor.line(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgressLine,
    ::testing::Values(
        LineRow{"Start", 10, 0, "", "quillmark: [                              ] 0%"},
        LineRow{"Half", 10, 5, "a.pdf", "quillmark: [###############               ] 50% a.pdf"},
        LineRow{"Done", 3, 3, "", "quillmark: [##############################] 100%"},
        LineRow{"PastTheEndIsShownAsDone", 4, 9, "", "quillmark: [##############################] 100%"},
        LineRow{"NoDurationShowsTheCount", 0, 7, "x", "quillmark: 7 x"},
        LineRow{"ControlCharactersWrittenOut", 0, 1, "\x1b]0;x\a.pdf", "quillmark: 1 \\e]0;x\\a.pdf"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST_F(AppProgressMonitor, DrawsOnItsStreamAndClearsTheLineAtTheEnd) {
    CapturedStream stream;
    ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.setOutput(stream.file());
    monitor.begin();
    monitor.setDuration(2);
    monitor.setCurrValue(1);
    monitor.end();
    const std::string text = stream.text();
    EXPECT_NE(text.find("\rquillmark: [###############               ] 50%"), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\r') << "the line is blanked and the cursor back at its start";
    EXPECT_EQ(text.find('\n'), std::string::npos) << "the bar never scrolls the terminal";
}

TEST_F(AppProgressMonitor, RedrawsOnlyWhenWhatItShowsChanges) {
    CapturedStream stream;
    ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.setOutput(stream.file());
    monitor.begin();
    monitor.setDuration(100000);
    for (int32_t value = 0; value <= 100000; ++value) monitor.setCurrValue(value);
    EXPECT_EQ(monitor.drawCount(), 101) << "once for each share done, not for each value";
    monitor.setDuration(100000);
    monitor.setCurrValue(100000);
    EXPECT_EQ(monitor.drawCount(), 101) << "the same line is never drawn twice";
    monitor.setText("b.pdf");
    EXPECT_EQ(monitor.drawCount(), 102);
    monitor.end();
}

TEST_F(AppProgressMonitor, DrawsNothingWithoutAStream) {
    ProgressMonitor& monitor = qmhost::progressMonitor();
    monitor.setOutput(nullptr);
    monitor.begin();
    monitor.setDuration(3);
    monitor.setCurrValue(2);
    monitor.end();
    EXPECT_EQ(monitor.drawCount(), 0);
}

}  // namespace
