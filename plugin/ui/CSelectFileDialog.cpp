#include "ui/CSelectFileDialog.h"

#include <QStringList>

#include "ui/ModalSeam.h"
#include "ui/UiText.h"

namespace {
constexpr uint32_t kStrSelect = 1218;  // "Select"
}  // namespace

CSelectFileDialog::CSelectFileDialog(bool inOpen, const QString& inTitle, const QString& inOkText,
                                     const QString& inDefaultExt, const QString& inFileName, const QString& inFilter,
                                     QWidget* inParent)
    : mOpen(inOpen),
      mTitle(inTitle),
      mOkText(inOkText.isEmpty() ? ui::ResText(kStrSelect) : inOkText),
      mDefaultExt(inDefaultExt),
      mFileName(inFileName),
      mFilter(inFilter),
      mParent(inParent) {}

CSelectFileDialog::CSelectFileDialog(const QString& inTitle, const QString& inOkText, const QString& inDefaultExt,
                                     const QString& inFileName, const QString& inFilter, QWidget* inParent)
    : CSelectFileDialog(true, inTitle, inOkText, inDefaultExt, inFileName, inFilter, inParent) {}

QString CSelectFileDialog::ToQtFilter(const QString& inFilter) {
    const QStringList parts = inFilter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        const QString patterns = parts[i + 1].trimmed();
        if (description.isEmpty() && patterns.isEmpty()) break;
        const QString qtPatterns = QString(patterns).replace(';', ' ');
        if (description.endsWith('(' + patterns + ')') || description.endsWith('(' + qtPatterns + ')'))
            filters << description;
        else
            filters << description + " (" + qtPatterns + ")";
    }
    return filters.join(QStringLiteral(";;"));
}

bool CSelectFileDialog::DoModal() {
    ui::FileDialogRequest request;
    request.title = mTitle;
    request.okText = mOkText;
    request.defaultExt = mDefaultExt;
    request.filter = ToQtFilter(mFilter);
    request.initialPath = mFileName;
    request.save = !mOpen;
    mPath = ui::GetModalSeam().FileDialog(mParent, request);
    return !mPath.isEmpty();
}
