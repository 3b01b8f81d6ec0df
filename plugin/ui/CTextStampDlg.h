// CTextStampDlg: the design dialog of a text stamp (caption "设计文本印章"):
// the shared controls and the text (1069, at most 4000 characters, its lines
// stored with "\r\n"), the variables inserted at the caret (1072, 1073), line
// spacing (1070), word wrap (1071), the font type (1074) with a standard font
// (1080) or a system font (1075) and its embedding (1079), size (1078, 6 to
// 72 points), text colour (1076), underline (1077), fill colour (1081) and
// outline (1082).
#pragma once

#include "ui/CStampDlg.h"

class CUnderlinePickerCB;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

class CTextStampDlg : public CStampDlg {
    Q_OBJECT
public:
    static constexpr int kResourceId = 124;
    static constexpr int kTextCapacity = 4000;

    CTextStampDlg(QWidget* inParent, CStamp& inStamp);

    bool Create(QWidget* inParent) override;
    void Load() override;
    void Save() override;
    bool Validate() override;
    void UpdateControls() override;
    // Inserts the chosen variable at the caret of the text.
    void InsertVariable();

    // The variable text that entry inEntry (1..20) of 1072 inserts.
    static QString VariableText(int inEntry);

protected:
    void OnInitDialog() override;

private:
    void BuildTextControls();
    void LimitText();
    // Selects the system font of that name; one that is not installed gets an
    // entry of its own that says so.
    void SelectSystemFont(const QString& inName);

    CUnderlinePickerCB* mUnderline = nullptr;  // 1077
    CColourPickerCB* mFontColour = nullptr;    // 1076
    CColourPickerCB* mFillColour = nullptr;    // 1081
    QComboBox* mSystemFont = nullptr;          // 1075
    QComboBox* mStandardFont = nullptr;        // 1080
    QComboBox* mFontType = nullptr;            // 1074
    QComboBox* mVariable = nullptr;            // 1072
    QComboBox* mLineSpacing = nullptr;         // 1070
    QCheckBox* mWordWrap = nullptr;            // 1071
    CIntField* mSize = nullptr;                // 1078
    QCheckBox* mEmbed = nullptr;               // 1079
    QCheckBox* mOutline = nullptr;             // 1082
    QPlainTextEdit* mText = nullptr;           // 1069
    QPushButton* mInsert = nullptr;            // 1073
};
