// Warnings shown in one message: one a line, at most ten, then how many more.
#pragma once

#include <QString>
#include <QStringList>

namespace qmviewer {

QString warningLines(const QStringList& lines);

}  // namespace qmviewer
