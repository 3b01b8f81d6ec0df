#include "ui/CAboutBoxDlg.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "stamper/CProductIdentity.h"
#include "ui/CAboutPages.h"
#include "ui/ControlIds.h"
#include "ui/PluginDialogLanguage.h"

CAboutTabCtrl::CAboutTabCtrl(const CProductIdentity& inIdentity, QWidget* inParent) : QTabWidget(inParent) {
    setObjectName("1000");
    addTab(new CAboutInfoPage(inIdentity, this), QString::fromUtf8("关于"));
    addTab(new CProductInfoPage(inIdentity, this), QString::fromUtf8("产品信息"));
    setCurrentIndex(0);
    ShowPage(0);
    connect(this, &QTabWidget::currentChanged, this, &CAboutTabCtrl::ShowPage);
}

void CAboutTabCtrl::ShowPage(int inIndex) {
    for (int i = 0; i < count(); ++i) widget(i)->setEnabled(i == inIndex);
}

CAboutBoxDlg::CAboutBoxDlg(const CProductIdentity& inIdentity, QWidget* inParent) : QDialog(inParent) {
    ui::MarkAsPluginDialog(this);
    setObjectName("102");
    setWindowTitle(QStringLiteral("About ") + QString::fromStdString(inIdentity.GetName()));
    auto* buttons = new QDialogButtonBox(this);
    ui::WithId(buttons->addButton(QString::fromUtf8("确定"), QDialogButtonBox::AcceptRole), 1);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new CAboutTabCtrl(inIdentity, this));
    layout->addWidget(buttons);
}

void RunAboutBox(QWidget* inParent) {
    CAboutBoxDlg dialog(GetProductIdentity(), inParent);
    dialog.exec();
}
