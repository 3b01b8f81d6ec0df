// Qt's own texts (the buttons of a message box, the file and colour dialogs,
// the question before a file is overwritten) in the plug-in's language while
// the plug-in asks one of its questions. Qt's translations of the system are
// used, and the plug-in's string table fills the few texts they lack (the file
// dialog's type column); where Qt's translations are not installed Qt's texts
// stay as they are. The host's own windows keep their language: the texts
// change only for the question's time. Scopes nest.
#pragma once

#include <QString>

namespace ui {

class QtTextsInPluginLanguage {
public:
    QtTextsInPluginLanguage();
    ~QtTextsInPluginLanguage();
    QtTextsInPluginLanguage(const QtTextsInPluginLanguage&) = delete;
    QtTextsInPluginLanguage& operator=(const QtTextsInPluginLanguage&) = delete;

    // The plug-in's language as a locale name ("zh_CN").
    static QString Language();
};

}  // namespace ui
