// A batch sequence from the File menu: the user picks the PDF files and an
// output folder; the batch command's global instance shows its dialog (the
// plug-in's stamp manager, modal) to pick the parameters; the sequence then
// runs with the application's progress monitor (numbering goes on from file
// to file), alerts held back, and Esc stopping it after the current page. The
// outputs get their inputs' names in the folder and never replace an input.
// Before anything is written the user is asked once, when files of the
// outputs' names are in the folder already, whether to replace them, skip
// their inputs (they are then not part of the sequence) or not run at all.
// The user is told what was saved, skipped and failed, and every warning.
#pragma once

#include <QString>
#include <functional>
#include <string>

class QWidget;

namespace qmviewer {

struct BatchRunOutcome {
    bool ran = false;   // false: the user cancelled, or it could not start (message says why)
    int saved = 0;      // files saved into the folder
    int skipped = 0;    // files left out because a file of their name was in the folder
    int failed = 0;     // files that failed, were cancelled or not run
    int warnings = 0;   // warnings of the files and the sequence, all in the report
    QString message;    // what the user was told
};

// Runs the sequence of the command handler of that name. cancelRequested is
// asked before each work call.
BatchRunOutcome runBatchFromMenu(QWidget* parent, const std::string& commandName,
                                 const std::function<bool()>& cancelRequested);

}  // namespace qmviewer
