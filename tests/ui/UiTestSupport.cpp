#include "UiTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QPainter>
#include <QTimer>

#include "ui/CPickerCB.h"

namespace uitest {

const QColor kMarker(0x12, 0xFE, 0x34);

ScriptedSeam::ScriptedSeam() { ui::SetModalSeam(this); }
ScriptedSeam::~ScriptedSeam() { ui::SetModalSeam(nullptr); }

QMessageBox::StandardButton ScriptedSeam::MessageBox(QWidget*, const QString&, const QString& inText,
                                                     QMessageBox::Icon, QMessageBox::StandardButtons) {
    messages << inText;
    if (answers.empty()) return QMessageBox::Ok;
    const QMessageBox::StandardButton answer = answers.front();
    answers.pop_front();
    return answer;
}

QString ScriptedSeam::FileDialog(QWidget*, const ui::FileDialogRequest& inRequest) {
    fileRequests.push_back(inRequest);
    if (files.empty()) return QString();
    const QString answer = files.front();
    files.pop_front();
    return answer;
}

QColor ScriptedSeam::ColourDialog(QWidget*, const QColor&) {
    ++colourRequests;
    if (colours.empty()) return QColor();
    const QColor answer = colours.front();
    colours.pop_front();
    return answer;
}

QString SaveScreenshot(QWidget* inWidget, const QString& inName) {
    const QString folder = QStringLiteral(QM_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    const QString path = folder + "/" + inName + ".png";
    inWidget->grab().save(path);
    return path;
}

QImage DrawPickerItem(CPickerCB& inPicker, int inIndex, bool inSelected, int inHeight) {
    QImage image(200, inHeight, QImage::Format_RGB32);
    image.fill(kMarker);
    QPainter painter(&image);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 200, inHeight);
    option.state = QStyle::State_Enabled;
    if (inSelected) option.state |= QStyle::State_Selected;
    option.palette = inPicker.palette();
    inPicker.itemDelegate()->paint(&painter, option, inPicker.model()->index(inIndex, 0));
    return image;
}

bool RowHasInk(const QImage& inImage, int inY, int inX0, int inX1) {
    for (int x = inX0; x < inX1; ++x) {
        const QColor pixel = inImage.pixelColor(x, inY);
        if (pixel != kMarker && pixel.lightness() < 230) return true;
    }
    return false;
}

void AnswerNextModal(std::function<void(QWidget*)> inAnswer) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto attempts = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, attempts, inAnswer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) {
            if (++*attempts > 400) {
                ADD_FAILURE() << "no modal dialog opened";
                timer->deleteLater();
                timer->stop();
            }
            return;
        }
        timer->stop();
        timer->deleteLater();
        inAnswer(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible()) dialog->reject();
    });
    timer->start();
}

}  // namespace uitest
