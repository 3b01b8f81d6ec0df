// Batch sequences from the File menu: inputs and output folder chosen, the
// command's dialog picking the parameters, progress in the status bar, Esc
// stopping it, and outputs that never replace an input.
#include <gtest/gtest.h>

#include <QAction>
#include <memory>
#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include "HostTables.h"
#include "ViewerFixture.h"
#include "common/PdfFixtures.h"
#include "qmhost/ASExtraTable.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/CoreTable.h"
#include "view/ProgressMonitor.h"
#include "viewer/DocumentWindow.h"
#include "viewer/ViewerApp.h"

using namespace qmviewertest;

namespace {

// A batch command of the test's own: its dialog chooses parameters unless
// told to act as cancelled; its work marks each document's title and
// records whether the application's progress monitor was running.
struct CommandScript {
    bool dialogChooses = true;
    bool cancelDuringFirstFile = false;
    int dialogs = 0;
    std::vector<bool> progressDuringWork;
};
CommandScript gScript;

const AppViewTable& View() { return *qmhost::appViewTable(); }
const ASExtraTable& Cab() { return *qmhost::asExtraTable(); }

void PutParamsCopy(AVCommand command, ASCab params) { View().commandPutCab(command, "Params", Cab().cabDup(params)); }
AVCommandStatus SetParams(AVCommand command, ASCab params) {
    PutParamsCopy(command, params);
    return kAVCommandReady;
}
void GetParams(AVCommand command, ASCab params) {
    Cab().cabMakeEmpty(params);
    Cab().cabCopy(View().commandGetCab(command, "Params", true), params);
}
void GetProps(AVCommand, ASCab props) { Cab().cabPutBool(props, "CanBatch", true); }
AVCommandStatus ShowDialog(AVCommand command) {
    ++gScript.dialogs;
    if (!gScript.dialogChooses) return kAVCommandReady;
    const ASCab chosen = Cab().cabNew();
    Cab().cabPutInt(chosen, "Profile", 7);
    View().commandSetParams(command, chosen);
    Cab().cabDestroy(chosen);
    return kAVCommandReady;
}
AVCommandStatus Work(AVCommand command) {
    // The command reports its progress on its own monitor; the host shows it as the application's.
    void* data = nullptr;
    const ASProgressMonitor monitor = View().commandGetProgressMonitor(command, &data);
    if (monitor) {
        monitor->setDuration(2, data);
        monitor->setCurrValue(1, data);
    }
    gScript.progressDuringWork.push_back(qmhost::progressMonitor().depth() > 0 &&
                                         qmhost::progressMonitor().text().find("/2 ") != std::string::npos);
    if (gScript.cancelDuringFirstFile) Viewer().requestCancel();
    return kAVCommandDone;
}
void RegisterCommands(ASAtom name) { View().commandRegisterGlobal(View().commandNew(name)); }

template <class P>
ASCallback Callback(P procedure) {
    return qmhost::coreTable()->makeCallback(reinterpret_cast<ExtensionID>(uintptr_t{0xba7}),
                                             reinterpret_cast<ASProc>(procedure));
}

void RegisterTestCommand() {
    static bool done = false;
    if (done) return;
    done = true;
    AVCommandHandlerRec record{};
    record.size = sizeof(record);
    record.registerCommands = Callback(&RegisterCommands);
    record.setParams = Callback(&SetParams);
    record.getParams = Callback(&GetParams);
    record.getProps = Callback(&GetProps);
    record.showDialog = Callback(&ShowDialog);
    record.work = Callback(&Work);
    ASSERT_TRUE(View().registerCommandHandler(qmhost::coreTable()->atomFromString("ViewerTestCmd"), &record));
}

class ViewerBatch : public ::testing::Test {
protected:
    void SetUp() override {
        CloseEverything();
        RegisterTestCommand();
        Viewer().setBatchCommandName("ViewerTestCmd");
        gScript = CommandScript();
        for (const char* name : {"one.pdf", "two.pdf"}) qmtest::writeSimplePdf(mInputs.file(name), 2);
        mWindow = Viewer().newWindow();
    }
    void TearDown() override {
        Viewer().setBatchCommandName("StamperCmd");
        CloseEverything();
    }
    void run(const std::string& outputFolder, const QStringList& names = {"one.pdf", "two.pdf"}) {
        QStringList inputs;
        for (const QString& name : names) inputs << QString::fromStdString(mInputs.file(name.toStdString()));
        Prompts().openAnswers = {inputs};
        Prompts().folderAnswers = {QString::fromStdString(outputFolder)};
        MenuAction(mWindow, {"File", "FileBatch"})->trigger();
    }

    qmtest::FixtureFolder mInputs;
    qmtest::FixtureFolder mOutputs;
    qmviewer::DocumentWindow* mWindow = nullptr;
};

TEST_F(ViewerBatch, RunsTheChosenFilesIntoTheFolderWithProgress) {
    run(mOutputs.path());
    EXPECT_EQ(gScript.dialogs, 1);
    EXPECT_EQ(mOutputs.entries(), (std::vector<std::string>{"one.pdf", "two.pdf"}));
    for (const char* name : {"one.pdf", "two.pdf"}) EXPECT_EQ(qmtest::qpdfCheck(mOutputs.file(name)).status, 0);
    EXPECT_EQ(gScript.progressDuringWork, (std::vector<bool>{true, true}));
    ASSERT_EQ(Prompts().messages.size(), 1);
    EXPECT_TRUE(Prompts().messages[0].startsWith("2 of 2 files stamped")) << Prompts().messages[0].toStdString();
    EXPECT_EQ(qmhost::progressMonitor().depth(), 0);
    EXPECT_TRUE(Prompts().replaceAsked.isEmpty()) << "nothing there to replace";
}

TEST_F(ViewerBatch, FilesAlreadyInTheFolderAreReplacedSkippedOrKeptAsTheUserAnswers) {
    using qmviewer::ReplaceAnswer;
    const std::string lastWeeks = "last week's stamped set";
    const struct {
        const char* name;
        QStringList inputs;
        ReplaceAnswer answer;
        bool replaced;       // out/one.pdf is the new output
        bool twoWritten;     // out/two.pdf is written
        const char* report;  // the report's start; "" for none
        size_t filesWorked;
    } rows[] = {
        {"replace", {"one.pdf", "two.pdf"}, ReplaceAnswer::Replace, true, true, "2 of 2 files stamped", 2},
        {"skip", {"one.pdf", "two.pdf"}, ReplaceAnswer::Skip, false, true, "1 of 2 files stamped", 1},
        {"skip the only file", {"one.pdf"}, ReplaceAnswer::Skip, false, false, "0 of 1 files stamped", 0},
        {"cancel", {"one.pdf", "two.pdf"}, ReplaceAnswer::Cancel, false, false, "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Prompts().clear();
        gScript = CommandScript();
        qmtest::FixtureFolder out;
        qmtest::writeBytes(out.file("one.pdf"), lastWeeks);
        Prompts().replaceAnswers = {row.answer};
        run(out.path(), row.inputs);
        EXPECT_EQ(Prompts().replaceAsked, QStringList{QStringLiteral("one.pdf of %1").arg(row.inputs.size())})
            << "asked once, before anything is written";
        EXPECT_EQ(qmtest::readBytes(out.file("one.pdf")) != lastWeeks, row.replaced);
        if (row.replaced) {
            EXPECT_EQ(qmtest::qpdfCheck(out.file("one.pdf")).status, 0);
        }
        EXPECT_EQ(qmtest::fileExists(out.file("two.pdf")), row.twoWritten);
        EXPECT_EQ(gScript.progressDuringWork.size(), row.filesWorked);
        if (!*row.report) {
            EXPECT_TRUE(Prompts().messages.isEmpty()) << Prompts().messages.join("\n").toStdString();
            continue;
        }
        ASSERT_EQ(Prompts().messages.size(), 1);
        EXPECT_TRUE(Prompts().messages[0].startsWith(row.report)) << Prompts().messages[0].toStdString();
        EXPECT_EQ(Prompts().messages[0].contains("one.pdf: skipped"), row.answer == ReplaceAnswer::Skip)
            << Prompts().messages[0].toStdString();
    }
}

TEST_F(ViewerBatch, NothingRunsWhenTheUserCancelsAChoice) {
    struct Row {
        const char* name;
        bool chooseFiles, chooseFolder, dialogChooses;
        int dialogs;
    };
    const Row rows[] = {
        {"no files chosen", false, true, true, 0},
        {"no folder chosen", true, false, true, 0},
        {"the dialog cancelled", true, true, false, 1},
    };
    for (const Row& row : rows) {
        gScript = CommandScript();
        gScript.dialogChooses = row.dialogChooses;
        Prompts().clear();
        if (row.chooseFiles) Prompts().openAnswers = {{QString::fromStdString(mInputs.file("one.pdf"))}};
        if (row.chooseFolder) Prompts().folderAnswers = {QString::fromStdString(mOutputs.path())};
        MenuAction(mWindow, {"File", "FileBatch"})->trigger();
        EXPECT_EQ(gScript.dialogs, row.dialogs) << row.name;
        EXPECT_TRUE(gScript.progressDuringWork.empty()) << row.name;
        EXPECT_TRUE(mOutputs.entries().empty()) << row.name;
        EXPECT_TRUE(Prompts().messages.isEmpty()) << row.name;
    }
}

TEST_F(ViewerBatch, OutputsNeverReplaceInputsAndEscStopsTheSequence) {
    const std::string before = qmtest::readBytes(mInputs.file("one.pdf"));
    run(mInputs.path());
    EXPECT_TRUE(Prompts().replaceAsked.isEmpty()) << "an input is never offered for replacing";
    EXPECT_TRUE(gScript.progressDuringWork.empty()) << "an input would be replaced: nothing is run";
    EXPECT_EQ(qmtest::readBytes(mInputs.file("one.pdf")), before);
    ASSERT_EQ(Prompts().messages.size(), 1);
    EXPECT_TRUE(Prompts().messages[0].startsWith("0 of 2 files stamped")) << Prompts().messages[0].toStdString();

    Prompts().clear();
    gScript = CommandScript();
    gScript.cancelDuringFirstFile = true;
    run(mOutputs.path());
    EXPECT_EQ(gScript.progressDuringWork.size(), 1u) << "stopped before the second file";
    EXPECT_TRUE(Prompts().messages.value(0).contains("cancelled")) << Prompts().messages.value(0).toStdString();
}

// Answers the stamp manager when it shows modally: picks the profile of that
// name and stamps. Looks again every 50 ms, for ten seconds at most.
void PickProfileInManager(const QString& profile, std::shared_ptr<bool> answered, int triesLeft = 200) {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal->objectName() != "CProfilesDlg") {
        if (triesLeft > 0)
            QTimer::singleShot(50, [profile, answered, triesLeft] { PickProfileInManager(profile, answered, triesLeft - 1); });
        return;
    }
    *answered = PickProfileAndStamp(modal, profile);
    if (!*answered) modal->close();
}

TEST_F(ViewerBatch, TheStampManagerPicksTheProfileAndBatesNumbersGoOnFromFileToFile) {
    Viewer().setBatchCommandName("StamperCmd");
    // Two copies of the three-page sample.
    for (const char* name : {"one.pdf", "two.pdf"})
        qmtest::writeBytes(mInputs.file(name), qmtest::readBytes(SamplePath("sample.pdf")));
    auto answered = std::make_shared<bool>(false);
    QTimer::singleShot(50, [answered] { PickProfileInManager("Court", answered); });
    run(mOutputs.path());
    ASSERT_TRUE(*answered) << "the stamp manager showed, modal, with the profile Court to pick; "
                          << Prompts().messages.join("\n").toStdString();
    ASSERT_EQ(mOutputs.entries(), (std::vector<std::string>{"one.pdf", "two.pdf"}))
        << Prompts().messages.join("\n").toStdString();
    auto firstPage = [this](const char* name) {
        return qmtest::runCommand("pdftotext -l 1 " + qmtest::shellQuote(mOutputs.file(name)) + " -").output;
    };
    EXPECT_NE(firstPage("one.pdf").find("QM-000001"), std::string::npos) << firstPage("one.pdf");
    EXPECT_NE(firstPage("two.pdf").find("QM-000004"), std::string::npos) << firstPage("two.pdf");
    for (const char* name : {"one.pdf", "two.pdf"}) EXPECT_EQ(qmtest::qpdfCheck(mOutputs.file(name)).status, 0);
}

TEST_F(ViewerBatch, TheReportTellsTheWarningsOfEachFile) {
    Viewer().setBatchCommandName("StamperCmd");
    // A system font that is not installed: the first file stamped says so (once a sequence).
    ImportProfile("Fallback", R"({"kNumberOfStamps": 1, "kStamp0": {"kStampNameE": "F", "kTextE": "Fallback",
        "kTypeC": 1, "kStyleSystemC": "NoSuchFont-Quillmark", "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0}})");
    auto answered = std::make_shared<bool>(false);
    QTimer::singleShot(50, [answered] { PickProfileInManager("Fallback", answered); });
    run(mOutputs.path());
    DeleteProfile("Fallback");
    ASSERT_TRUE(*answered) << Prompts().messages.join("\n").toStdString();
    ASSERT_EQ(Prompts().messages.size(), 1) << Prompts().messages.join("\n---\n").toStdString();
    const QString report = Prompts().messages[0];
    EXPECT_TRUE(report.startsWith("2 of 2 files stamped")) << report.toStdString();
    EXPECT_TRUE(report.contains("one.pdf: warning: the system font \"NoSuchFont-Quillmark\" of the stamp \"F\" is "
                                "not installed: page 1 is stamped in Times-Roman instead"))
        << report.toStdString();
}

}  // namespace
