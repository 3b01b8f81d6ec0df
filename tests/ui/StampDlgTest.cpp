// The design dialogs' shared controls and the text dialog, driven as a user
// would drive them, by control id.
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QKeyEvent>
#include <cmath>

#include "DesignDialogFixture.h"
#include "qmhost/ASExtraTable.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "ui/CColourPickerCB.h"
#include "ui/CTextStampDlg.h"
#include "ui/CWeightPickerCB.h"
#include "ui/StampDesigners.h"
#include "view/ModelessWindows.h"

namespace uitest {
namespace {

using StampDlg = DesignDialogTest;

int32_t Int(ASCab inCab, const char* inKey) { return gASExtraHFT->cabGetInt(inCab, inKey, -12345); }
// Types the text as key presses, as a user would.
void TypeInto(QWidget* inWidget, const QString& inText) {
    for (const QChar character : inText) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(character));
        QApplication::sendEvent(inWidget, &press);
        QApplication::sendEvent(inWidget, &release);
    }
}

int32_t Kind(ASCab inCab, const char* inKey) { return gASExtraHFT->cabGetType(inCab, inKey); }

TEST_F(StampDlg, NewTextStampShowsTheDefaults) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    EXPECT_EQ(Control<QSpinBox>("1025")->value(), 100);
    EXPECT_TRUE(Control<QRadioButton>("1020")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>("1028")->isChecked());
    EXPECT_EQ(Control<QComboBox>("1031")->currentIndex(), 0);
    EXPECT_EQ(Control<QSpinBox>("1033")->value(), 1);
    EXPECT_EQ(Control<QSpinBox>("1034")->value(), 1);
    EXPECT_EQ(Control<QComboBox>("1035")->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>("1038")->currentText(), QStringLiteral("(无)"));
    for (const char* id : {"1065", "1037", "1066", "1036", "1081", "1082", "1032", "1033", "1067", "1034", "1068"})
        EXPECT_FALSE(Control<QWidget>(id)->isEnabled()) << id;
    EXPECT_TRUE(Control<QWidget>("1031")->isEnabled());
    // The text kind's own defaults.
    EXPECT_EQ(Control<QSpinBox>("1078")->value(), 12);
    EXPECT_EQ(Control<QComboBox>("1076")->currentText(), QStringLiteral("黑色"));
    EXPECT_EQ(Control<QComboBox>("1081")->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>("1070")->currentIndex(), 0);
    EXPECT_EQ(Control<QComboBox>("1080")->currentText(), QStringLiteral("Courier"));
    EXPECT_TRUE(Control<QWidget>("1080")->isVisibleTo(mDialog));
    EXPECT_FALSE(Control<QWidget>("1075")->isVisibleTo(mDialog));
    EXPECT_FALSE(Control<QWidget>("1079")->isVisibleTo(mDialog));
    EXPECT_FALSE(Control<QWidget>("1073")->isEnabled());
    // The manager waits while the dialog is open.
    EXPECT_FALSE(mManagerButton->isEnabled());
    EXPECT_EQ(mDialog->windowTitle(), QStringLiteral("设计文本印章"));
    SaveScreenshot(mDialog, "dialog-text-stamp");
    Press("2");
    EXPECT_EQ(mDone, std::optional<bool>(false));
    EXPECT_TRUE(mManagerButton->isEnabled());
    EXPECT_EQ(CStampDlg::GetOpenDesignDialog(), nullptr);
    // Nothing was stored.
    EXPECT_EQ(Kind(stamp->GetCab(), kKeyOpacity), kASCabValueNone);
}

TEST_F(StampDlg, ListsHoldTheirEntriesInOrder) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    const struct {
        const char* id;
        QStringList entries;
    } rows[] = {
        {"1022", {"英吋", "厘米", "毫米"}},
        {"1026", {"从左侧", "从右侧", "从中间"}},
        {"1027", {"从顶部", "从底部", "从中间"}},
        {"1031", {"全部页面", "奇数页", "偶数页", "首页", "尾页"}},
        {"1038", {"(无)", "跳至视图", "跳至远程视图", "打开文件", "打开网页链接"}},
        {"1074", {"标准字体", "系统字体"}},
        {"1070", {"单倍行距", "1.5 倍行距", "双倍行距"}},
    };
    for (const auto& row : rows) {
        QComboBox* combo = Control<QComboBox>(row.id);
        QStringList entries;
        for (int index = 0; index < combo->count(); ++index) entries << combo->itemText(index);
        EXPECT_EQ(entries, row.entries) << row.id;
    }
    QComboBox* actions = Control<QComboBox>("1038");
    EXPECT_EQ(actions->itemData(1).toString(), QStringLiteral("GoTo"));
    EXPECT_EQ(actions->itemData(2).toString(), QStringLiteral("GoToR"));
    EXPECT_EQ(actions->itemData(4).toString(), QStringLiteral("URI"));
    QComboBox* variables = Control<QComboBox>("1072");
    ASSERT_EQ(variables->count(), 21);
    EXPECT_EQ(variables->itemText(5), QStringLiteral("Bates No. []"));
    EXPECT_EQ(Control<QComboBox>("1080")->count(), 14);
}

TEST_F(StampDlg, OnlyOneDesignDialogAtATime) {
    auto first = NewStamp(kStampTypeText);
    auto second = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*first));
    bool called = false;
    EXPECT_FALSE(ui::OpenDesignDialog(mManager.get(), *second, false, [&](bool) { called = true; }));
    EXPECT_EQ(CStampDlg::GetOpenDesignDialog(), mDialog);
    Press("2");
    EXPECT_FALSE(called);
}

// Every design dialog is one of the host's modeless windows while it is open
// (the host passes it keyboard input and closes it before the plug-in goes),
// and leaves the list when it goes, by OK or by Cancel.
TEST_F(StampDlg, DesignDialogIsOnTheHostsModelessListWhileItIsOpen) {
    struct Row {
        const char* name;
        int32_t type;
        const char* button;
    };
    for (const Row& row : {Row{"text, cancelled", kStampTypeText, "2"}, Row{"image, cancelled", kStampTypeImage, "2"},
                           Row{"PDF, cancelled", kStampTypePDFPage, "2"}, Row{"text, confirmed", kStampTypeText, "1"}}) {
        SCOPED_TRACE(row.name);
        auto stamp = NewStamp(row.type);
        ASSERT_TRUE(Open(*stamp));
        EXPECT_EQ(qmhost::modelessWindows().windows(), std::vector<void*>{static_cast<QWidget*>(mDialog)});
        if (row.button[0] == '1') {  // what OK needs to save
            Control<QLineEdit>("1014")->setText(QStringLiteral("Mark"));
            Control<QPlainTextEdit>("1069")->setPlainText(QStringLiteral("x"));
        }
        Press(row.button);
        EXPECT_EQ(CStampDlg::GetOpenDesignDialog(), nullptr) << "the dialog went";
        EXPECT_TRUE(qmhost::modelessWindows().windows().empty());
        Alerts();
    }
}

TEST_F(StampDlg, BorderColourNoneDisablesItsControls) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    const char* const border[] = {"1065", "1037", "1066", "1036", "1081", "1082"};
    Choose("1035", 4);  // 红色
    for (const char* id : border) EXPECT_TRUE(Control<QWidget>(id)->isEnabled()) << id;
    Choose("1035", 0);  // (无)
    for (const char* id : border) EXPECT_FALSE(Control<QWidget>(id)->isEnabled()) << id;
    // The custom entry asks for the colour and keeps what the user chose.
    mSeam->colours.push_back(QColor(0x11, 0x22, 0x33));
    Choose("1035", 11);
    EXPECT_EQ(mSeam->colourRequests, 1);
    EXPECT_EQ(static_cast<CColourPickerCB*>(Control<QComboBox>("1035"))->GetColour(), 0x332211u);
    EXPECT_TRUE(Control<QWidget>("1037")->isEnabled());
}

TEST_F(StampDlg, UnitLabelsFollowTheUnit) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    const char* const units[] = {"英吋", "厘米", "毫米"};
    for (int unit : {1, 2, 0}) {
        Choose("1022", unit);
        EXPECT_EQ(Control<QLabel>("1039")->text(), QString::fromUtf8(units[unit]));
        EXPECT_EQ(Control<QLabel>("1040")->text(), QString::fromUtf8(units[unit]));
    }
}

TEST_F(StampDlg, PageChoiceEnablesItsControls) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    const struct {
        const char* radio;
        bool stampOn, list, every;
    } rows[] = {{"1029", false, true, false}, {"1030", false, false, true}, {"1028", true, false, false}};
    for (const auto& row : rows) {
        Control<QRadioButton>(row.radio)->click();
        EXPECT_EQ(Control<QWidget>("1031")->isEnabled(), row.stampOn) << row.radio;
        EXPECT_EQ(Control<QWidget>("1032")->isEnabled(), row.list) << row.radio;
        for (const char* id : {"1033", "1067", "1034", "1068"})
            EXPECT_EQ(Control<QWidget>(id)->isEnabled(), row.every) << row.radio << " " << id;
    }
}

TEST_F(StampDlg, RefusedInputKeepsTheDialogOpen) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    Press("1");
    EXPECT_EQ(Alerts(), std::vector<std::string>{"请添写印章名称"});
    ASSERT_TRUE(mDialog);
    Control<QLineEdit>("1014")->setText(QStringLiteral("Mark"));
    Press("1");
    EXPECT_EQ(Alerts(), std::vector<std::string>{"请插入文本"});
    ASSERT_TRUE(mDialog);
    EXPECT_FALSE(mDone.has_value());
    EXPECT_EQ(Kind(stamp->GetCab(), kKeyStampName), kASCabValueNone);
    Control<QPlainTextEdit>("1069")->setPlainText(QStringLiteral("x"));
    Press("1");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(mDone, std::optional<bool>(true));
    EXPECT_EQ(stamp->GetName(), "Mark");
}

TEST_F(StampDlg, NumbersOutOfRangeAreRefusedAtOKAsTyped) {
    const struct {
        int32_t kind;
        const char* id;
        const char* typed;
        const char* message;
    } rows[] = {
        {kStampTypeText, "1025", "150", "请输入 0 到 100 之间的整数。"},
        {kStampTypeText, "1025", "", "请输入 0 到 100 之间的整数。"},
        {kStampTypeText, "1024", "400", "请输入 -360 到 360 之间的整数。"},
        {kStampTypeText, "1078", "100", "请输入 6 到 72 之间的整数。"},
        {kStampTypeText, "1078", "2", "请输入 6 到 72 之间的整数。"},
        {kStampTypeText, "1033", "0", "请输入 1 到 1000000000 之间的整数。"},
        {kStampTypeText, "1019", "123456", "请输入 -99999 到 99999 之间的数字。"},
        {kStampTypePDFPage, "1016", "5000", "请输入 1 到 4800 之间的整数。"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.id) + " '" + row.typed + "'");
        auto stamp = NewStamp(row.kind);
        ASSERT_TRUE(Open(*stamp));
        Control<QLineEdit>("1014")->setText(QStringLiteral("n"));
        if (auto* text = mDialog->findChild<QPlainTextEdit*>("1069")) text->setPlainText(QStringLiteral("t"));
        if (auto* source = mDialog->findChild<QLineEdit*>("1015")) source->setText(QStringLiteral("/nowhere.pdf"));
        Control<QAbstractButton>("1030")->click();
        auto* box = Control<QAbstractSpinBox>(row.id);
        box->setFocus();
        box->selectAll();
        QKeyEvent erase(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        QApplication::sendEvent(box, &erase);
        TypeInto(box, QString::fromLatin1(row.typed));
        Press("1");
        EXPECT_EQ(Alerts(), std::vector<std::string>{row.message});
        ASSERT_TRUE(mDialog);
        EXPECT_EQ(box->text(), QString::fromLatin1(row.typed));
        EXPECT_TRUE(box->hasFocus() || mDialog->focusWidget() == box->findChild<QLineEdit*>());
        EXPECT_FALSE(mDone.has_value());
        EXPECT_EQ(Kind(stamp->GetCab(), kKeyStampName), kASCabValueNone);
        Press("2");
    }
    // A name longer than 256 characters is cut where the field ends.
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    Control<QLineEdit>("1014")->setText(QString(300, QChar('n')));
    EXPECT_EQ(Control<QLineEdit>("1014")->text().size(), 256);
}

TEST_F(StampDlg, PageListIsReadAtOKAsARunReadsIt) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    Control<QLineEdit>("1014")->setText(QStringLiteral("n"));
    Control<QPlainTextEdit>("1069")->setPlainText(QStringLiteral("t"));
    Control<QAbstractButton>("1029")->click();
    auto* list = Control<QLineEdit>("1032");
    list->setText(QStringLiteral("abc"));
    Press("1");
    EXPECT_EQ(Alerts(), std::vector<std::string>{"不能设置选择的页面范围: 起始页 abc 必须是个数字。"});
    ASSERT_TRUE(mDialog);
    EXPECT_EQ(mDialog->focusWidget(), list);
    EXPECT_FALSE(mDone.has_value());
    // Pages beyond any document at hand are no reason to refuse: the list is read, not a document.
    list->setText(QStringLiteral("1-3, 7, 1000-2000 even"));
    Press("1");
    EXPECT_TRUE(Alerts().empty());
    EXPECT_EQ(mDone, std::optional<bool>(true));
}

TEST_F(StampDlg, VariableIsInsertedAtTheCaret) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    auto* text = Control<QPlainTextEdit>("1069");
    const struct {
        int entry;
        const char* inserted;
    } rows[] = {{5, "$BatesNo[1]"}, {9, "$Date"}, {1, "$PageNo[1]"}, {3, "$BatchPageNo[1]"}, {20, "$PDInfoKeywords"}};
    for (const auto& row : rows) {
        text->setPlainText(QStringLiteral("AB\r\nCD").replace("\r\n", "\n"));
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(1);
        cursor.setPosition(2, QTextCursor::KeepAnchor);  // "B" selected: it is replaced
        text->setTextCursor(cursor);
        Choose("1072", row.entry);
        ASSERT_TRUE(Control<QWidget>("1073")->isEnabled());
        Control<QAbstractButton>("1073")->click();
        EXPECT_EQ(text->toPlainText(), QStringLiteral("A") + QString::fromLatin1(row.inserted) + "\nCD");
    }
}

TEST_F(StampDlg, SystemFontTypeShowsTheSystemList) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    Choose("1074", 1);
    EXPECT_FALSE(Control<QWidget>("1080")->isVisibleTo(mDialog));
    EXPECT_FALSE(Control<QWidget>("1080")->isEnabled());
    EXPECT_TRUE(Control<QWidget>("1075")->isVisibleTo(mDialog));
    EXPECT_TRUE(Control<QWidget>("1079")->isEnabled());
    EXPECT_GT(Control<QComboBox>("1075")->count(), 0);
}

TEST_F(StampDlg, MissingSystemFontIsShownAsMissingAndKept) {
    auto stamp = NewStamp(kStampTypeText);
    gASExtraHFT->cabPutInt(stamp->GetCab(), kKeyFontType, 1);
    gASExtraHFT->cabPutString(stamp->GetCab(), kKeySystemFont, "No Such Font Anywhere");
    gASExtraHFT->cabPutString(stamp->GetCab(), kKeyStampName, "n");
    gASExtraHFT->cabPutString(stamp->GetCab(), kKeyText, "t");
    ASSERT_TRUE(Open(*stamp, true));
    EXPECT_EQ(Control<QComboBox>("1074")->currentIndex(), 1);
    EXPECT_EQ(Control<QComboBox>("1075")->currentText(), QString::fromUtf8("No Such Font Anywhere (未安装)"));
    SaveScreenshot(mDialog, "dialog-text-stamp-missing-font");
    Press("1");
    ASSERT_EQ(mDone, std::optional<bool>(true));
    EXPECT_STREQ(gASExtraHFT->cabGetString(stamp->GetCab(), kKeySystemFont), "No Such Font Anywhere");
}

// Every key the dialog shows goes back with the value and the kind it came with.
TEST_F(StampDlg, EveryKeyIsWrittenBackWithItsKind) {
    auto stamp = NewStamp(kStampTypeText);
    const ASCab cab = stamp->GetCab();
    const ASText pages = gASExtraHFT->textFromUTF8("1-3,odd");
    gASExtraHFT->cabPutText(cab, kKeyPageList, pages);
    struct IntKey {
        const char* key;
        int32_t value;
    };
    const IntKey ints[] = {{kKeyUnit, 2},          {kKeyHorizontalAlign, 1}, {kKeyVerticalAlign, 2},
                           {kKeyRotation, -45},    {kKeyOpacity, 40},        {kKeyPages, 1},
                           {kKeyStampOn, 3},       {kKeyEveryPage, 4},       {kKeyFromPage, 7},
                           {kKeyBorderDash, 3},    {kKeyBorderColor, 0x00FF00}, {kKeyLineSpacing, 2},
                           {kKeyDynamicText, 9},   {kKeyUnderline, 5},       {kKeyFontColor, 0x123456},
                           {kKeyFillColor, 0x0000FF}, {kKeyFontType, 0},     {kKeyStandardFont, 6},
                           {kKeyFontSize, 30}};
    for (const IntKey& key : ints) gASExtraHFT->cabPutInt(cab, key.key, key.value);
    gASExtraHFT->cabPutDouble(cab, kKeyHorizontalOffset, 1.25);
    gASExtraHFT->cabPutDouble(cab, kKeyVerticalOffset, -2.5);
    gASExtraHFT->cabPutDouble(cab, kKeyBorderWidth, 1.5);
    gASExtraHFT->cabPutBool(cab, kKeyOverlay, false);
    gASExtraHFT->cabPutBool(cab, kKeyWordWrap, true);
    gASExtraHFT->cabPutBool(cab, kKeyEmbedFont, true);
    gASExtraHFT->cabPutBool(cab, kKeyOutline, true);
    gASExtraHFT->cabPutString(cab, kKeyStampName, "Keys");
    gASExtraHFT->cabPutString(cab, kKeyText, "line one\r\nline two");

    ASSERT_TRUE(Open(*stamp, true));
    EXPECT_TRUE(Control<QRadioButton>("1021")->isChecked());
    EXPECT_TRUE(Control<QRadioButton>("1029")->isChecked());
    EXPECT_EQ(Control<QPlainTextEdit>("1069")->toPlainText(), QStringLiteral("line one\nline two"));
    EXPECT_EQ(Control<QComboBox>("1076")->currentIndex(), 11);  // the custom colour
    SaveScreenshot(mDialog, "dialog-text-stamp-loaded");
    Press("1");
    ASSERT_EQ(mDone, std::optional<bool>(true));

    for (const IntKey& key : ints) {
        EXPECT_EQ(Kind(cab, key.key), kASCabValueInt) << key.key;
        EXPECT_EQ(Int(cab, key.key), key.value) << key.key;
    }
    for (const char* key : {kKeyHorizontalOffset, kKeyVerticalOffset, kKeyBorderWidth})
        EXPECT_EQ(Kind(cab, key), kASCabValueDouble) << key;
    EXPECT_EQ(gASExtraHFT->cabGetDouble(cab, kKeyHorizontalOffset, 0), 1.25);
    EXPECT_EQ(gASExtraHFT->cabGetDouble(cab, kKeyVerticalOffset, 0), -2.5);
    EXPECT_EQ(gASExtraHFT->cabGetDouble(cab, kKeyBorderWidth, 0), 1.5);
    for (const char* key : {kKeyOverlay, kKeyWordWrap, kKeyEmbedFont, kKeyOutline})
        EXPECT_EQ(Kind(cab, key), kASCabValueBool) << key;
    EXPECT_FALSE(gASExtraHFT->cabGetBool(cab, kKeyOverlay, true));
    EXPECT_TRUE(gASExtraHFT->cabGetBool(cab, kKeyWordWrap, false));
    EXPECT_TRUE(gASExtraHFT->cabGetBool(cab, kKeyOutline, false));
    EXPECT_TRUE(gASExtraHFT->cabGetBool(cab, kKeyEmbedFont, false));
    for (const char* key : {kKeyStampName, kKeyText, kKeySystemFont})
        EXPECT_EQ(Kind(cab, key), kASCabValueString) << key;
    EXPECT_STREQ(gASExtraHFT->cabGetString(cab, kKeyText), "line one\r\nline two");
    EXPECT_EQ(Kind(cab, kKeyPageList), kASCabValueText);
    EXPECT_STREQ(gASExtraHFT->textGetUTF8(gASExtraHFT->cabGetText(cab, kKeyPageList)), "1-3,odd");
    EXPECT_EQ(Kind(cab, kKeyAction), kASCabValueBinary);
}

TEST_F(StampDlg, NoColourIsStoredAsMinusOne) {
    auto stamp = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*stamp));
    Control<QLineEdit>("1014")->setText(QStringLiteral("n"));
    Control<QPlainTextEdit>("1069")->setPlainText(QStringLiteral("t"));
    Choose("1076", 0);
    Press("1");
    EXPECT_EQ(Int(stamp->GetCab(), kKeyFontColor), -1);
    EXPECT_EQ(Int(stamp->GetCab(), kKeyFillColor), -1);
    EXPECT_EQ(Int(stamp->GetCab(), kKeyBorderColor), -1);
    EXPECT_EQ(Int(stamp->GetCab(), kKeyOpacity), 100);
    EXPECT_TRUE(gASExtraHFT->cabGetBool(stamp->GetCab(), kKeyOverlay, false));
}

}  // namespace
}  // namespace uitest
