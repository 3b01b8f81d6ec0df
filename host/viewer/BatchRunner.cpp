#include "viewer/BatchRunner.h"

#include <QDir>
#include <QFileInfo>

#include "HostTables.h"
#include "app/BatchProgressBar.h"
#include "core/AtomTable.h"
#include "qmhost/ASExtraTable.h"
#include "view/BatchCommands.h"
#include "view/BatchSequences.h"
#include "viewer/ViewerPrompts.h"

namespace qmviewer {
namespace {

// A cabinet of the host's that goes with the scope.
class ScopedCab {
public:
    ScopedCab() : mCab(qmhost::asExtraTable()->cabNew()) {}
    ~ScopedCab() { qmhost::asExtraTable()->cabDestroy(mCab); }
    ScopedCab(const ScopedCab&) = delete;
    ScopedCab& operator=(const ScopedCab&) = delete;
    ASCab get() const { return mCab; }

private:
    ASCab mCab;
};

// The parameters the command's dialog leaves on its global command: emptied
// first, so that a dialog the user cancels (or that cannot be shown) leaves none.
bool chooseParameters(AVCommand global, ASCab params, QString* why) {
    qmhost::BatchCommands& commands = qmhost::batchCommands();
    {
        ScopedCab empty;
        commands.setParams(global, empty.get());
    }
    const qmhost::ProcOutcome shown = commands.stepProc(global, &AVCommandHandlerRec::showDialog);
    if (!shown.ran) {
        *why = QStringLiteral("The batch command has no dialog to choose its profile with.");
        return false;
    }
    if (shown.status != kAVCommandReady) {
        *why = QString::fromStdString(shown.failure);
        return false;
    }
    commands.getParams(global, params);
    return qmhost::asExtraTable()->cabNumEntries(params) > 0;
}

QString summary(const qmhost::BatchSequenceResult& result, const QString& folder, BatchRunOutcome* outcome) {
    QStringList problems;
    for (const qmhost::BatchFileResult& file : result.files) {
        if (file.outcome == qmhost::BatchFileOutcome::Saved) {
            ++outcome->saved;
            continue;
        }
        ++outcome->failed;
        const char* what = file.outcome == qmhost::BatchFileOutcome::Cancelled ? "cancelled"
                           : file.outcome == qmhost::BatchFileOutcome::NotRun  ? "not run"
                                                                               : "failed";
        QString line = QStringLiteral("%1: %2").arg(QFileInfo(QString::fromStdString(file.input)).fileName(),
                                                    QString::fromLatin1(what));
        if (!file.message.empty()) line += QStringLiteral(" (%1)").arg(QString::fromStdString(file.message));
        problems << line;
    }
    QString text = QStringLiteral("%1 of %2 files stamped into %3.")
                       .arg(outcome->saved)
                       .arg(result.files.size())
                       .arg(QDir::toNativeSeparators(folder));
    if (!problems.isEmpty()) text += QStringLiteral("\n\n") + problems.join(QLatin1Char('\n'));
    return text;
}

}  // namespace

BatchRunOutcome runBatchFromMenu(QWidget* parent, const std::string& commandName,
                                 const std::function<bool()>& cancelRequested) {
    BatchRunOutcome outcome;
    const QStringList files = prompts().openFiles(parent, QStringLiteral("Batch Sequence: Files to Stamp"));
    if (files.isEmpty()) return outcome;
    const QString folder = prompts().chooseFolder(parent, QStringLiteral("Batch Sequence: Output Folder"));
    if (folder.isEmpty()) return outcome;

    const AVCommand global = qmhost::batchCommands().findGlobal(qmhost::atoms().intern(commandName));
    ScopedCab params;
    QString why;
    if (!global) {
        outcome.message = QStringLiteral("No batch command \"%1\" is installed.").arg(QString::fromStdString(commandName));
    } else if (!chooseParameters(global, params.get(), &why)) {
        // Cancelled in the dialog: nothing to say.
        if (!why.isEmpty()) outcome.message = QStringLiteral("The batch sequence did not start: %1").arg(why);
    }
    if (!global || qmhost::asExtraTable()->cabNumEntries(params.get()) == 0) {
        if (!outcome.message.isEmpty())
            prompts().message(parent, QMessageBox::Warning, QStringLiteral("Quillmark"), outcome.message);
        return outcome;
    }

    qmhost::BatchSequenceRequest request;
    request.commandName = commandName;
    request.params = params.get();
    for (const QString& file : files) request.inputs.push_back(QFileInfo(file).absoluteFilePath().toStdString());
    request.outputFolder = QFileInfo(folder).absoluteFilePath().toStdString();
    request.cursorPolicy = 1;
    request.cancelRequested = cancelRequested;
    const qmhost::BatchSequenceResult result = qmhost::runBatchWithProgress(request);

    if (!result.started) {
        outcome.message = QStringLiteral("The batch sequence did not start: %1").arg(QString::fromStdString(result.message));
        prompts().message(parent, QMessageBox::Warning, QStringLiteral("Quillmark"), outcome.message);
        return outcome;
    }
    outcome.ran = true;
    outcome.message = summary(result, folder, &outcome);
    prompts().message(parent, outcome.failed ? QMessageBox::Warning : QMessageBox::Information,
                      QStringLiteral("Quillmark"), outcome.message);
    return outcome;
}

}  // namespace qmviewer
