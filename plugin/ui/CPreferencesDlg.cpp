#include "ui/CPreferencesDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "stamper/CStamperPreferences.h"
#include "ui/ControlIds.h"
#include "ui/ModalSeam.h"
#include "ui/PluginDialogLanguage.h"

namespace {

constexpr int kMinBatesLength = 0;
constexpr int kMaxBatesLength = 40;

QString Tr(const char* inUtf8) { return QString::fromUtf8(inUtf8); }

}  // namespace

using ui::WithId;

CPreferencesDlg::CPreferencesDlg(CStamperPreferences& inPreferences, QWidget* inParent)
    : QDialog(inParent), mPreferences(inPreferences) {
    ui::MarkAsPluginDialog(this);
    setObjectName("107");
    setWindowTitle(Tr("Quillmark 预置"));
    BuildLayout();
    LoadSettings();
}

CPreferencesDlg::~CPreferencesDlg() = default;

void CPreferencesDlg::BuildLayout() {
    auto* files = new QGroupBox(Tr("文件处理"), this);
    auto* filesLayout = new QVBoxLayout(files);
    mWriteToNewFile = WithId(new QCheckBox(Tr("写入印章到新文件"), files), 1040);
    mEnableLogging = WithId(new QCheckBox(Tr("开启记录"), files), 1041);
    mIgnoreRotation = WithId(new QCheckBox(Tr("忽略页面旋转"), files), 1044);
    filesLayout->addWidget(mWriteToNewFile);
    filesLayout->addWidget(mEnableLogging);
    filesLayout->addWidget(mIgnoreRotation);

    auto* defaults = new QGroupBox(Tr("默认值"), this);
    auto* defaultsLayout = new QFormLayout(defaults);
    mBatesLength = WithId(new CIntField(kMinBatesLength, kMaxBatesLength), 1042);
    mRomanNumerals = WithId(new QComboBox(defaults), 1043);
    mRomanNumerals->addItems({Tr("否"), Tr("大写"), Tr("小写")});
    defaultsLayout->addRow(Tr("BATES 固定长度"), mBatesLength);
    defaultsLayout->addRow(Tr("使用罗马数字"), mRomanNumerals);

    auto* buttons = new QDialogButtonBox(this);
    WithId(buttons->addButton(Tr("确定"), QDialogButtonBox::AcceptRole), 1);
    WithId(buttons->addButton(Tr("取消"), QDialogButtonBox::RejectRole), 2);
    connect(buttons, &QDialogButtonBox::accepted, this, &CPreferencesDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPreferencesDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(files);
    layout->addWidget(defaults);
    layout->addWidget(buttons);
}

void CPreferencesDlg::LoadSettings() {
    // A setting outside what a control can show shows the nearest it can.
    const int roman = mPreferences.GetUseRomanNumerals();
    mRomanNumerals->setCurrentIndex(roman <= 0 ? 0 : (roman == 1 ? 1 : 2));
    mBatesLength->setValue(mPreferences.GetBatesFixedLength());
    mWriteToNewFile->setChecked(mPreferences.GetWriteToNewFile());
    mEnableLogging->setChecked(mPreferences.GetEnableLogging());
    mIgnoreRotation->setChecked(mPreferences.GetIgnorePageRotation());
}

void CPreferencesDlg::StoreSettings() {
    mPreferences.SetUseRomanNumerals(mRomanNumerals->currentIndex());
    mPreferences.SetBatesFixedLength(mBatesLength->value());
    mPreferences.SetWriteToNewFile(mWriteToNewFile->isChecked());
    mPreferences.SetEnableLogging(mEnableLogging->isChecked());
    mPreferences.SetIgnorePageRotation(mIgnoreRotation->isChecked());
}

void CPreferencesDlg::accept() {
    // Checked before anything is stored, so that a refused value never
    // reaches the file and Cancel still leaves everything as it was.
    const bool accepted = ui::AcceptNumber(*mBatesLength, [this](const QString& inMessage) {
        ui::GetModalSeam().MessageBox(this, Tr("Quillmark"), inMessage, QMessageBox::Warning, QMessageBox::Ok);
    });
    if (!accepted) return;
    StoreSettings();
    if (!mPreferences.WriteFile()) {
        // The settings hold for this session; the user learns they were not
        // saved, and where (the reason's own text is not in the dialog's language).
        ui::GetModalSeam().MessageBox(this, Tr("Quillmark"),
                                      Tr("预置文件不能保存:\n%1").arg(QString::fromUtf8(mPreferences.GetPath())),
                                      QMessageBox::Warning, QMessageBox::Ok);
    }
    QDialog::accept();
}

void RunPreferencesDialog(QWidget* inParent) {
    CStamperPreferences* preferences = GetStamperPreferences();
    if (!preferences) return;
    CPreferencesDlg dialog(*preferences, inParent);
    dialog.exec();
}
