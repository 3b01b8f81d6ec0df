#include "viewer/ProgressStatus.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <algorithm>

#include "view/ProgressMonitor.h"

namespace qmviewer {

ProgressStatus::ProgressStatus(QWidget* parent)
    : QWidget(parent), mText(new QLabel(this)), mBar(new QProgressBar(this)) {
    setObjectName(QStringLiteral("ProgressStatus"));
    mText->setObjectName(QStringLiteral("ProgressText"));
    mBar->setObjectName(QStringLiteral("ProgressBar"));
    mBar->setMinimumWidth(160);
    mBar->setMaximumWidth(280);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(mText);
    layout->addWidget(mBar);
    setVisible(false);
}

void ProgressStatus::showMonitor() {
    const qmhost::ProgressMonitor& monitor = qmhost::progressMonitor();
    if (monitor.depth() == 0) {
        setVisible(false);
        return;
    }
    mText->setText(QString::fromStdString(monitor.text()));
    if (monitor.duration() > 0) {
        mBar->setRange(0, monitor.duration());
        mBar->setValue(std::min(monitor.currValue(), monitor.duration()));
    } else {
        mBar->setRange(0, 0);  // busy, no end known yet
    }
    setVisible(true);
}

}  // namespace qmviewer
