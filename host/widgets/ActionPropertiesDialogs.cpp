#include "widgets/ActionPropertiesDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "view/ActionPrompts.h"

namespace qmhost {
namespace {

bool hasDisplay() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

// One line of text with a label, OK (enabled only for a non-empty text) and
// Cancel; browse adds a "..." button that picks a file.
std::optional<std::string> askLine(const QString& title, const QString& label, const QString& objectName,
                                   const std::string& current, bool browse) {
    if (!hasDisplay()) return std::nullopt;
    QDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(objectName + "Dialog");
    dialog.setWindowTitle(title);
    auto* edit = new QLineEdit(QString::fromStdString(current));
    edit->setObjectName(objectName);
    edit->setMinimumWidth(320);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(label));
    row->addWidget(edit, 1);
    if (browse) {
        auto* button = new QPushButton(QStringLiteral("..."));
        button->setObjectName(objectName + "Browse");
        QObject::connect(button, &QPushButton::clicked, &dialog, [&] {
            const QString chosen = QFileDialog::getOpenFileName(&dialog, title, edit->text());
            if (!chosen.isEmpty()) edit->setText(chosen);
        });
        row->addWidget(button);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto updateOk = [&] { buttons->button(QDialogButtonBox::Ok)->setEnabled(!edit->text().trimmed().isEmpty()); };
    QObject::connect(edit, &QLineEdit::textChanged, &dialog, updateOk);
    updateOk();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || edit->text().trimmed().isEmpty()) return std::nullopt;
    return edit->text().trimmed().toStdString();
}

std::optional<std::string> askLaunchFileInDialog(const std::string& current) {
    return askLine(QStringLiteral("打开文件"), QStringLiteral("文件:"), QStringLiteral("launchFile"), current, true);
}

std::optional<std::string> askUriInDialog(const std::string& current) {
    return askLine(QStringLiteral("打开网页链接"), QStringLiteral("URL:"), QStringLiteral("uri"), current, false);
}

const ActionPrompts kDialogs = {askLaunchFileInDialog, askUriInDialog};

}  // namespace

void installActionPropertiesDialogs() { setActionPrompts(&kDialogs); }

}  // namespace qmhost
