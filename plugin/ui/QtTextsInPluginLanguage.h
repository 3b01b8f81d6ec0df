// Qt's own texts (the buttons of a message box, the file and colour dialogs,
// the question before a file is overwritten) in the plug-in's language while
// the plug-in asks one of its questions. Qt's translations of the system are
// used; where they are not installed Qt's texts stay as they are. The host's
// own windows keep their language: the texts change only for the question's
// time.
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

private:
    bool mInstalled = false;
};

}  // namespace ui
