// The preferences dialog: what it shows without a file, what OK stores and
// writes, what Cancel and a refused value leave alone, and a failed write.
#include <gtest/gtest.h>

#include "common/FileSizeLimit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "stamper/CStamperPreferences.h"
#include "support/io/ModulePaths.h"
#include "support/prefs/PreferenceTagTypes.h"
#include "ui/CPreferencesDlg.h"
#include "ui/ControlIds.h"
#include "ui/UiTestSupport.h"

namespace {

using qmtest::readAll;
using ui::FindControl;

class PreferencesDlgTest : public testing::Test {
protected:
    void SetUp() override {
        mFolder = qmtest::MakeTempFolder("qm-prefsdlg-");
        ASSERT_TRUE(SetPlugInDataFolder(mFolder.c_str()));
        UnregisterPrefTagTypes();
        RegisterPreferenceTagTypes();
        mPreferences = std::make_unique<CStamperPreferences>();
        ASSERT_TRUE(mPreferences->ReadFile(false));
        mDialog = std::make_unique<CPreferencesDlg>(*mPreferences);
    }
    void TearDown() override { SetPlugInDataFolder(""); }

    std::string FilePath() const { return mFolder + "/Quillmark.pfs"; }
    bool FileExists() const { return ::access(FilePath().c_str(), F_OK) == 0; }
    template <typename W>
    W* Control(int inId) {
        W* control = FindControl<W>(mDialog.get(), inId);
        EXPECT_NE(control, nullptr) << "control " << inId;
        return control;
    }
    void TypeBatesLength(const QString& inText) {
        // Key by key, as a user types it over the selected number.
        auto* field = Control<QSpinBox>(1042);
        field->setFocus();
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, inText);
    }
    // What a fresh store reads back from the file.
    std::unique_ptr<CStamperPreferences> Reread() {
        auto preferences = std::make_unique<CStamperPreferences>();
        EXPECT_TRUE(preferences->ReadFile(true)) << preferences->GetLastProblem();
        return preferences;
    }

    std::string mFolder;
    std::unique_ptr<CStamperPreferences> mPreferences;
    std::unique_ptr<CPreferencesDlg> mDialog;
    uitest::ScriptedSeam mSeam;
};

TEST_F(PreferencesDlgTest, WithoutAFileShowsSixDigitsNoRomanAndClearBoxes) {
    EXPECT_EQ(mDialog->windowTitle(), QString::fromUtf8("Quillmark 预置"));
    EXPECT_EQ(Control<QSpinBox>(1042)->value(), 6);
    EXPECT_EQ(Control<QComboBox>(1043)->currentText(), QString::fromUtf8("否"));
    for (int id : {1040, 1041, 1044}) EXPECT_FALSE(Control<QCheckBox>(id)->isChecked()) << id;
    mDialog->adjustSize();
    uitest::SaveScreenshot(mDialog.get(), "preferences-dialog");
}

TEST_F(PreferencesDlgTest, OkStoresEverySettingAndWritesTheFile) {
    Control<QComboBox>(1043)->setCurrentIndex(2);  // "小写"
    Control<QSpinBox>(1042)->setValue(8);
    Control<QCheckBox>(1040)->setChecked(true);
    Control<QCheckBox>(1044)->setChecked(true);
    mDialog->accept();
    EXPECT_EQ(mDialog->result(), QDialog::Accepted);
    const auto stored = Reread();
    EXPECT_EQ(stored->GetUseRomanNumerals(), 2);
    EXPECT_EQ(stored->GetBatesFixedLength(), 8);
    EXPECT_TRUE(stored->GetWriteToNewFile());
    EXPECT_FALSE(stored->GetEnableLogging());
    EXPECT_TRUE(stored->GetIgnorePageRotation());
    EXPECT_TRUE(mSeam.messages.empty());
}

TEST_F(PreferencesDlgTest, CancelLeavesTheSettingsAndTheFileAlone) {
    Control<QComboBox>(1043)->setCurrentIndex(1);
    Control<QCheckBox>(1041)->setChecked(true);
    mDialog->reject();
    EXPECT_EQ(mPreferences->GetUseRomanNumerals(), 0);
    EXPECT_FALSE(mPreferences->GetEnableLogging());
    EXPECT_FALSE(FileExists());
}

TEST_F(PreferencesDlgTest, BatesLengthOutOfRangeIsRefusedBeforeAnythingIsStored) {
    for (const char* text : {"41", "-1", ""}) {
        Control<QComboBox>(1043)->setCurrentIndex(1);
        TypeBatesLength(QString::fromUtf8(text));
        mSeam.messages.clear();
        mDialog->accept();
        EXPECT_NE(mDialog->result(), QDialog::Accepted) << text;
        ASSERT_EQ(mSeam.messages.size(), 1u) << text;
        EXPECT_EQ(mSeam.messages[0], QString::fromUtf8("请输入 0 到 40 之间的整数。")) << text;
        EXPECT_EQ(Control<QSpinBox>(1042)->text(), QString::fromUtf8(text)) << text;
        EXPECT_EQ(mPreferences->GetUseRomanNumerals(), 0) << text;
        EXPECT_FALSE(FileExists()) << text;
    }
}

TEST_F(PreferencesDlgTest, FailedWriteIsReportedAndTheOldFileStaysWhole) {
    mDialog->accept();
    ASSERT_TRUE(FileExists());
    const std::string old = readAll(FilePath());

    CPreferencesDlg second(*mPreferences);
    FindControl<QCheckBox>(&second, 1041)->setChecked(true);
    {
        qmtest::FileSizeLimit limit(8);
        second.accept();
    }
    EXPECT_EQ(second.result(), QDialog::Accepted);
    ASSERT_EQ(mSeam.messages.size(), 1u);
    // One language: the dialog's own words and the file's path.
    EXPECT_EQ(mSeam.messages[0], QString::fromUtf8("预置文件不能保存:\n") + QString::fromStdString(FilePath()));
    EXPECT_EQ(readAll(FilePath()), old);
    EXPECT_TRUE(mPreferences->GetEnableLogging());  // kept for this session
}

}  // namespace
