#include "viewer/BatchRunner.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

#include "HostTables.h"
#include "app/BatchProgressBar.h"
#include "core/AtomTable.h"
#include "qmhost/ASExtraTable.h"
#include "view/BatchCommands.h"
#include "view/BatchSequences.h"
#include "viewer/ViewerPrompts.h"
#include "viewer/WarningLines.h"

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

QString fileName(const std::string& path) { return QFileInfo(QString::fromStdString(path)).fileName(); }

// The warnings of the run, each file's after its name: those shown while it
// was worked on and those of its save.
QStringList warningsOf(const qmhost::BatchSequenceResult& result) {
    QStringList lines;
    for (const std::string& warning : result.warnings)
        lines << QStringLiteral("warning: %1").arg(QString::fromStdString(warning));
    for (const qmhost::BatchFileResult& file : result.files) {
        for (const std::string& warning : file.warnings)
            lines << QStringLiteral("%1: warning: %2").arg(fileName(file.input), QString::fromStdString(warning));
        for (const std::string& report : file.reports)
            if (report.rfind("warning: ", 0) == 0)
                lines << QStringLiteral("%1: %2").arg(fileName(file.input), QString::fromStdString(report));
    }
    return lines;
}

QString summary(const qmhost::BatchSequenceResult& result, const QStringList& skipped, const QString& folder,
                BatchRunOutcome* outcome) {
    QStringList problems;
    for (const QString& name : skipped)
        problems << QStringLiteral("%1: skipped (a file of that name is in the folder)").arg(name);
    outcome->skipped = static_cast<int>(skipped.size());
    for (const qmhost::BatchFileResult& file : result.files) {
        if (file.outcome == qmhost::BatchFileOutcome::Saved) {
            ++outcome->saved;
            continue;
        }
        ++outcome->failed;
        const char* what = file.outcome == qmhost::BatchFileOutcome::Cancelled ? "cancelled"
                           : file.outcome == qmhost::BatchFileOutcome::NotRun  ? "not run"
                                                                               : "failed";
        QString line = QStringLiteral("%1: %2").arg(fileName(file.input), QString::fromLatin1(what));
        if (!file.message.empty()) line += QStringLiteral(" (%1)").arg(QString::fromStdString(file.message));
        problems << line;
    }
    QString text = QStringLiteral("%1 of %2 files stamped into %3.")
                       .arg(outcome->saved)
                       .arg(result.files.size() + static_cast<size_t>(skipped.size()))
                       .arg(QDir::toNativeSeparators(folder));
    if (!problems.isEmpty()) text += QStringLiteral("\n\n") + problems.join(QLatin1Char('\n'));
    const QStringList warnings = warningsOf(result);
    outcome->warnings = static_cast<int>(warnings.size());
    if (!warnings.isEmpty()) text += QStringLiteral("\n\n") + warningLines(warnings);
    return text;
}

// Whether two paths name one file (also through a link).
bool sameFile(const QString& a, const QString& b) {
    const QString canonicalA = QFileInfo(a).canonicalFilePath();
    return !canonicalA.isEmpty() && canonicalA == QFileInfo(b).canonicalFilePath();
}

// The inputs whose outputs would replace a file in the folder. An output that
// would replace an input is not among them: the sequence refuses that input.
std::vector<std::string> inputsWithOutputsThere(const std::vector<std::string>& inputs, const std::string& folder) {
    std::vector<std::string> found;
    for (const std::string& input : inputs) {
        const QString output = QString::fromStdString(qmhost::batchOutputPath(folder, input));
        if (!QFileInfo(output).isFile()) continue;
        const bool isInput = std::any_of(inputs.begin(), inputs.end(), [&](const std::string& each) {
            return sameFile(output, QString::fromStdString(each));
        });
        if (!isInput) found.push_back(input);
    }
    return found;
}

// Asks whether files of the outputs' names that are in the folder are
// replaced; takes the inputs of those out of the request when they are
// skipped (their names into skipped). False: the user cancelled.
bool settleExistingOutputs(QWidget* parent, qmhost::BatchSequenceRequest& request, QStringList* skipped) {
    const std::vector<std::string> there = inputsWithOutputsThere(request.inputs, request.outputFolder);
    if (there.empty()) return true;
    QStringList names;
    for (const std::string& input : there) names << fileName(input);
    switch (prompts().askReplace(parent, QString::fromStdString(request.outputFolder), names,
                                 static_cast<int>(request.inputs.size()))) {
        case ReplaceAnswer::Replace: return true;
        case ReplaceAnswer::Cancel: return false;
        case ReplaceAnswer::Skip: break;
    }
    std::erase_if(request.inputs, [&](const std::string& input) {
        return std::find(there.begin(), there.end(), input) != there.end();
    });
    *skipped = names;
    return true;
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
    QStringList skipped;
    if (!settleExistingOutputs(parent, request, &skipped)) return outcome;
    qmhost::BatchSequenceResult result;
    if (request.inputs.empty())
        result.started = true;  // every file skipped: nothing to run
    else
        result = qmhost::runBatchWithProgress(request);

    if (!result.started) {
        outcome.message = QStringLiteral("The batch sequence did not start: %1").arg(QString::fromStdString(result.message));
        prompts().message(parent, QMessageBox::Warning, QStringLiteral("Quillmark"), outcome.message);
        return outcome;
    }
    outcome.ran = true;
    outcome.message = summary(result, skipped, folder, &outcome);
    prompts().message(parent, outcome.failed || outcome.warnings ? QMessageBox::Warning : QMessageBox::Information,
                      QStringLiteral("Quillmark"), outcome.message);
    return outcome;
}

}  // namespace qmviewer
