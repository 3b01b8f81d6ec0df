#include "ui/CAboutPages.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "stamper/CProductIdentity.h"
#include "ui/CHyperLink.h"
#include "ui/ControlIds.h"

using ui::WithId;

namespace {

constexpr const char kSupportAddress[] = "support@quillmark.org";
constexpr const char kInformationAddress[] = "info@quillmark.org";
constexpr int kVersionWithBuild = 4;    // "3.0 [1]"
constexpr int kVersionAllNumbers = 5;  // "3.0.0.1"

QString Tr(const char* inUtf8) { return QString::fromUtf8(inUtf8); }
QString Site(const char* inPath) { return QString::fromUtf8(kMakerSite) + QString::fromUtf8(inPath); }

QLabel* BoldLabel(const QString& inText, int inId, QWidget* inParent) {
    QLabel* label = WithId(new QLabel(inText, inParent), inId);
    QFont bold = label->font();
    bold.setWeight(QFont::Bold);
    label->setFont(bold);
    return label;
}

CHyperLink* Link(const QString& inText, const QString& inUrl, int inId, QWidget* inParent) {
    CHyperLink* link = WithId(new CHyperLink(inText, inParent), inId);
    link->SetURL(inUrl);
    return link;
}

}  // namespace

CAboutInfoPage::CAboutInfoPage(const CProductIdentity& inIdentity, QWidget* inParent) : QWidget(inParent) {
    setObjectName("129");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BoldLabel(QString::fromStdString(inIdentity.GetNameAndVersion()), 1030, this));
    layout->addWidget(new QLabel(Tr("为编号、标记和品牌化 PDF 文档而作的印章工具。"), this));
    layout->addSpacing(8);
    layout->addWidget(BoldLabel(Tr("联系我们"), 1153, this));
    auto* contacts = new QGridLayout();
    contacts->addWidget(new QLabel(Tr("技术支持:"), this), 0, 0);
    contacts->addWidget(Link(kSupportAddress, QStringLiteral("mailto:") + kSupportAddress, 1005, this), 0, 1);
    contacts->addWidget(new QLabel(Tr("产品信息:"), this), 1, 0);
    contacts->addWidget(Link(kInformationAddress, QStringLiteral("mailto:") + kInformationAddress, 1004, this), 1,
                        1);
    contacts->addWidget(new QLabel(Tr("网站:"), this), 2, 0);
    // The web-site link's URL is its own text.
    contacts->addWidget(WithId(new CHyperLink(QString::fromUtf8(kMakerSite), this), 1031), 2, 1);
    contacts->setColumnStretch(2, 1);
    layout->addLayout(contacts);
    layout->addStretch(1);
}

CProductInfoPage::CProductInfoPage(const CProductIdentity& inIdentity, QWidget* inParent)
    : QWidget(inParent), mIdentity(inIdentity) {
    setObjectName("131");
    const QString name = QString::fromStdString(inIdentity.GetName());
    const bool publish = inIdentity.IsPublishSuiteMember();
    const bool print = inIdentity.IsPrintSuiteMember();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BoldLabel(Tr("产品系列"), 1154, this));
    QLabel* family = WithId(new QLabel(name + Tr(" 作为其中的部份包含在"), this), 1065);
    family->setEnabled(publish || print);
    layout->addWidget(family);
    auto* links = new QHBoxLayout();
    CHyperLink* publishLink = Link(QStringLiteral("Inkwell"), Site("redirects/inkwell.asp"), 1007, this);
    CHyperLink* printLink = Link(QStringLiteral("Pressline"), Site("redirects/pressline.asp"), 1009, this);
    publishLink->setEnabled(publish);
    printLink->setEnabled(print);
    links->addWidget(publishLink);
    links->addWidget(printLink);
    links->addStretch(1);
    layout->addLayout(links);
    layout->addSpacing(8);

    layout->addWidget(BoldLabel(Tr("版本"), 1155, this));
    QLineEdit* version = WithId(new QLineEdit(this), 1003);
    version->setReadOnly(true);
    version->setText(name + " " + QString::fromStdString(inIdentity.GetVersionString(kVersionWithBuild)));
    layout->addWidget(version);
    QPushButton* update = WithId(new QPushButton(Tr("检查更新"), this), 1126);
    connect(update, &QPushButton::clicked, this, &CProductInfoPage::CheckForUpdates);
    layout->addWidget(update, 0, Qt::AlignLeft);
    layout->addStretch(1);
}

QString CProductInfoPage::UpdateUrl(const CProductIdentity& inIdentity) {
    QString version = QString::fromStdString(inIdentity.GetVersionString(kVersionAllNumbers));
    version.remove(' ').remove('[').remove(']');
    return Site("redirects/updates.asp?") + "productid=" + QString::fromStdString(inIdentity.GetProductId()) +
           "&version=" + version + "&os=linux";
}

void CProductInfoPage::CheckForUpdates() {
    if (!CHyperLink::OpenUrl(UpdateUrl(mIdentity))) CHyperLink::ReportOpenFailure(this);
}
