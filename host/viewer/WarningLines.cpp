#include "viewer/WarningLines.h"

namespace qmviewer {

QString warningLines(const QStringList& lines) {
    constexpr qsizetype kShown = 10;
    QStringList shown = lines.mid(0, kShown);
    if (lines.size() > kShown) {
        const qsizetype more = lines.size() - kShown;
        shown << (more == 1 ? QStringLiteral("and 1 more warning") : QStringLiteral("and %1 more warnings").arg(more));
    }
    return shown.join(QLatin1Char('\n'));
}

}  // namespace qmviewer
