#include "ui/CTextStampDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

#include "engine/SystemFonts.h"
#include "stamper/StampKeys.h"
#include "support/ErrorCode.h"
#include "ui/CColourPickerCB.h"
#include "ui/CUnderlinePickerCB.h"
#include "ui/DialogServices.h"
#include "ui/UiText.h"

namespace {

const char* const kStandardFonts[] = {"Courier",   "Courier-Bold",          "Courier-Oblique",
                                      "Courier-BoldOblique", "Helvetica", "Helvetica-Bold",
                                      "Helvetica-Oblique", "Helvetica-BoldOblique", "Times-Roman",
                                      "Times-Bold", "Times-Italic", "Times-BoldItalic",
                                      "Symbol",    "ZapfDingbats"};

struct Variable {
    const char* label;
    const char* text;
};
const Variable kVariables[] = {
    {"Page No. []", "$PageNo["},        {"Total pages", "$TotalPages"},
    {"Batch Page No. []", "$BatchPageNo["}, {"Batch Total pages", "$BatchTotalPages"},
    {"Bates No. []", "$BatesNo["},      {"Bates Total pages", "$BatesTotalPages"},
    {"File Name", "$FileName"},         {"File Path", "$FilePath"},
    {"Date", "$Date"},                  {"Time", "$Time"},
    {"Day", "$Day"},                    {"Month", "$Month"},
    {"Year", "$Year"},                  {"Hour", "$Hour"},
    {"Minute", "$Min"},                 {"Second", "$Sec"},
    {"Title", "$PDInfoTitle"},          {"Subject", "$PDInfoSubject"},
    {"Author", "$PDInfoAuthor"},        {"Keywords", "$PDInfoKeywords"},
};
constexpr int kVariableCount = 20;

constexpr int kSystemFontType = 1;

template <class F>
void Quietly(F&& inBody) {
    try {
        inBody();
    } catch (ErrorCode) {
    }
}

}  // namespace

CTextStampDlg::CTextStampDlg(QWidget* inParent, CStamp& inStamp) : CStampDlg(kResourceId, inParent, inStamp) {}

QString CTextStampDlg::VariableText(int inEntry) {
    if (inEntry < 1 || inEntry > kVariableCount) return QString();
    QString text = QString::fromLatin1(kVariables[inEntry - 1].text);
    // The bracket forms take the offset 1 and their closing bracket.
    if (inEntry == 1 || inEntry == 3 || inEntry == 5) text += QStringLiteral("1]");
    return text;
}

bool CTextStampDlg::Create(QWidget*) {
    BuildWindow(kResourceId, ui::ResText(ui::kStrTextStampCaption));
    BuildTextControls();
    OnInitDialog();
    show();
    return true;
}

void CTextStampDlg::BuildTextControls() {
    auto* text = new QGridLayout;
    mText = ui::Named(new QPlainTextEdit, "1069");
    mText->setMinimumHeight(80);
    mLineSpacing = ui::Named(new QComboBox, "1070");
    for (uint32_t entry = 0; entry < 3; ++entry) mLineSpacing->addItem(ui::ResText(ui::kStrSingleSpacing + entry));
    mVariable = ui::Named(new QComboBox, "1072");
    mInsert = ui::Named(new QPushButton(ui::ResText(ui::kStrInsert)), "1073");
    mWordWrap = ui::Named(new QCheckBox(ui::ResText(ui::kStrWordWrap)), "1071");
    text->addWidget(ui::ResLabel(ui::kStrText), 0, 0, Qt::AlignTop);
    text->addWidget(mText, 0, 1, 1, 4);
    text->addWidget(ui::ResLabel(ui::kStrLineSpacing), 1, 0);
    text->addWidget(mLineSpacing, 1, 1);
    text->addWidget(mWordWrap, 1, 2);
    text->addWidget(ui::ResLabel(ui::kStrDynamicText), 2, 0);
    text->addWidget(mVariable, 2, 1, 1, 2);
    text->addWidget(mInsert, 2, 3);
    text->setColumnStretch(1, 1);
    KindArea()->addLayout(text);

    auto* group = new QGroupBox(ui::ResText(ui::kStrGroupFont));
    auto* grid = new QGridLayout(group);
    mFontType = ui::Named(new QComboBox, "1074");
    mFontType->addItem(ui::ResText(ui::kStrStandardFont));
    mFontType->addItem(ui::ResText(ui::kStrSystemFont));
    mSystemFont = ui::Named(new QComboBox, "1075");
    mStandardFont = ui::Named(new QComboBox, "1080");
    mEmbed = ui::Named(new QCheckBox(ui::ResText(ui::kStrEmbed)), "1079");
    mSize = ui::Named(new CIntField(6, 72), "1078");
    AddNumberField(mSize);
    mFontColour = ui::Named(new CColourPickerCB, "1076");
    mUnderline = ui::Named(new CUnderlinePickerCB, "1077");
    mFillColour = ui::Named(new CColourPickerCB, "1081");
    mOutline = ui::Named(new QCheckBox(ui::ResText(ui::kStrOutline)), "1082");
    // The two font lists share one place; only the one of the font type shows.
    auto* fonts = new QHBoxLayout;
    fonts->setContentsMargins(0, 0, 0, 0);
    fonts->addWidget(mStandardFont, 1);
    fonts->addWidget(mSystemFont, 1);
    grid->addWidget(ui::ResLabel(ui::kStrType), 0, 0);
    grid->addWidget(mFontType, 0, 1);
    grid->addWidget(ui::ResLabel(ui::kStrFontName), 0, 2);
    grid->addLayout(fonts, 0, 3);
    grid->addWidget(mEmbed, 0, 4);
    grid->addWidget(ui::ResLabel(ui::kStrSize), 1, 0);
    grid->addWidget(mSize, 1, 1);
    grid->addWidget(ui::ResLabel(ui::kStrColour), 1, 2);
    grid->addWidget(mFontColour, 1, 3);
    grid->addWidget(ui::ResLabel(ui::kStrUnderline), 2, 0);
    grid->addWidget(mUnderline, 2, 1);
    grid->addWidget(ui::ResLabel(ui::kStrFillColour), 2, 2);
    grid->addWidget(mFillColour, 2, 3);
    grid->addWidget(mOutline, 2, 4);
    grid->setColumnStretch(3, 1);
    KindArea()->addWidget(group);

    connect(mVariable, &QComboBox::activated, this, [this] { UpdateControls(); });
    connect(mFontType, &QComboBox::activated, this, [this] { UpdateControls(); });
    for (CColourPickerCB* picker : {mFontColour, mFillColour}) {
        connect(picker, &QComboBox::activated, this, [this, picker] {
            picker->OnSelectCustom();
            UpdateControls();
        });
    }
    connect(mWordWrap, &QCheckBox::clicked, this, [this] { UpdateControls(); });
    connect(mInsert, &QPushButton::clicked, this, [this] { InsertVariable(); });
    connect(mText, &QPlainTextEdit::textChanged, this, [this] { LimitText(); });
}

void CTextStampDlg::OnInitDialog() {
    CStampDlg::OnInitDialog();
    const int32_t fonts = CountSystemFonts();
    for (int32_t position = 0; position < fonts; ++position) {
        const QString name = QString::fromStdString(GetSystemFontName(position));
        mSystemFont->addItem(name, name);
    }
    for (const char* name : kStandardFonts) mStandardFont->addItem(QString::fromLatin1(name));
    mVariable->addItem(ui::ResText(ui::kStrNone));
    for (const Variable& variable : kVariables) mVariable->addItem(QString::fromLatin1(variable.label));
    Load();
    UpdateControls();
}

void CTextStampDlg::Load() {
    CStampDlg::Load();
    Quietly([&] {
        mText->setPlainText(ui::StoredToWidgetText(CabString(kKeyText)));
        mLineSpacing->setCurrentIndex(CabInt(kKeyLineSpacing, 0));
        mVariable->setCurrentIndex(CabInt(kKeyDynamicText, 0));
        mWordWrap->setChecked(CabBool(kKeyWordWrap, false));
        mUnderline->setCurrentIndex(CabInt(kKeyUnderline, 0));
        LoadColour(*mFontColour, CabInt(kKeyFontColor, 0));
        LoadColour(*mFillColour, CabInt(kKeyFillColor, kNoColor));
        mFontType->setCurrentIndex(CabInt(kKeyFontType, 0) != 0 ? kSystemFontType : 0);
        mStandardFont->setCurrentIndex(CabInt(kKeyStandardFont, 0));
        SelectSystemFont(QString::fromStdString(CabString(kKeySystemFont)));
        mSize->setValue(CabInt(kKeyFontSize, kDefaultFontSize));
        mEmbed->setChecked(CabBool(kKeyEmbedFont, false));
        mOutline->setChecked(CabBool(kKeyOutline, false));
    });
}

void CTextStampDlg::SelectSystemFont(const QString& inName) {
    const int found = mSystemFont->findData(inName, Qt::UserRole, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (found >= 0 || inName.isEmpty()) {
        mSystemFont->setCurrentIndex(std::max(found, 0));
        return;
    }
    // A font no longer installed is shown as such and kept unless the user
    // picks another: taking the first font would change the stamp unasked.
    mSystemFont->addItem(ui::ResTextWith(ui::kStrFontNotInstalled, inName), inName);
    mSystemFont->setCurrentIndex(mSystemFont->count() - 1);
}

void CTextStampDlg::Save() {
    CStampDlg::Save();
    Quietly([&] {
        PutString(kKeyText, ui::WidgetToStoredText(mText->toPlainText()));
        PutInt(kKeyLineSpacing, mLineSpacing->currentIndex());
        PutInt(kKeyDynamicText, mVariable->currentIndex());
        PutBool(kKeyWordWrap, mWordWrap->isChecked());
        PutInt(kKeyUnderline, mUnderline->currentIndex());
        PutInt(kKeyFontColor, StoredColour(*mFontColour));
        PutInt(kKeyFillColor, StoredColour(*mFillColour));
        PutInt(kKeyFontType, mFontType->currentIndex());
        PutInt(kKeyStandardFont, mStandardFont->currentIndex());
        PutString(kKeySystemFont, mSystemFont->currentData().toString().toStdString());
        PutInt(kKeyFontSize, mSize->value());
        PutBool(kKeyEmbedFont, mEmbed->isChecked());
        PutBool(kKeyOutline, mOutline->isChecked());
    });
}

bool CTextStampDlg::Validate() {
    if (!CStampDlg::Validate()) return false;
    if (mText->toPlainText().isEmpty()) {
        RefuseWith(ui::kStrNeedText);
        mText->setFocus();
        return false;
    }
    return true;
}

void CTextStampDlg::UpdateControls() {
    CStampDlg::UpdateControls();
    mInsert->setEnabled(mVariable->currentIndex() > 0);
    const bool border = mBorderColour->currentIndex() > 0;
    mOutline->setEnabled(border);
    mFillColour->setEnabled(border);
    const bool system = mFontType->currentIndex() == kSystemFontType;
    mStandardFont->setVisible(!system);
    mStandardFont->setEnabled(!system);
    mSystemFont->setVisible(system);
    mSystemFont->setEnabled(system);
    mEmbed->setVisible(system);
    mEmbed->setEnabled(system);
}

void CTextStampDlg::InsertVariable() {
    const QString text = VariableText(mVariable->currentIndex());
    if (text.isEmpty()) return;
    mText->textCursor().insertText(text);
    mText->setFocus();
    UpdateControls();
}

void CTextStampDlg::LimitText() {
    const QString text = mText->toPlainText();
    if (text.size() <= kTextCapacity) return;
    // As an edit with a length limit: what goes past the limit is not taken.
    QTextCursor cursor = mText->textCursor();
    const int position = cursor.position();
    const QSignalBlocker blocker(mText);
    cursor.select(QTextCursor::Document);
    cursor.insertText(text.left(kTextCapacity));
    cursor.setPosition(qMin(position, kTextCapacity));
    mText->setTextCursor(cursor);
}
