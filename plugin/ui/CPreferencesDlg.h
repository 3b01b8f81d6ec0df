// CPreferencesDlg: the modal dialog "Quillmark 预置" that shows and changes the
// plug-in's file-handling and numbering settings, and the only writer of the
// preferences file.
//
// Controls (object names are the ids): 1040 "写入印章到新文件" ('WTNF'), 1041
// "开启记录" ('EnLo'), 1044 "忽略页面旋转" ('IPRo'), 1042 the Bates fixed length
// 0..40 ('BFLe', an edit with its spin arrows), 1043 "否"/"大写"/"小写"
// ('URNu'), buttons 1 "确定" and 2 "取消".
//
// OK checks the Bates length first (outside 0..40 a message and the dialog
// stays open with nothing stored), then stores every setting in the plug-in's
// preferences and writes the file. A file that cannot be written is reported;
// the settings stay changed in memory and the dialog closes. Cancel stores
// nothing.
#pragma once

#include <QDialog>

#include "ui/CNumberField.h"

class CStamperPreferences;
class QCheckBox;
class QComboBox;

class CPreferencesDlg : public QDialog {
    Q_OBJECT

public:
    // Shows the settings of inPreferences (not owned; must outlive the dialog).
    CPreferencesDlg(CStamperPreferences& inPreferences, QWidget* inParent = nullptr);
    ~CPreferencesDlg() override;

    void accept() override;

private:
    void BuildLayout();
    void LoadSettings();
    void StoreSettings();

    CStamperPreferences& mPreferences;
    QCheckBox* mWriteToNewFile = nullptr;
    QCheckBox* mEnableLogging = nullptr;
    QCheckBox* mIgnoreRotation = nullptr;
    CIntField* mBatesLength = nullptr;
    QComboBox* mRomanNumerals = nullptr;
};

// Runs the dialog modally over the plug-in's preferences (nothing when they
// are not made).
void RunPreferencesDialog(QWidget* inParent);
