#include "ui/StampSourceBrowse.h"


#include "qmhost/PDModelTable.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"
#include "ui/ModalSeam.h"
#include "ui/UiText.h"

namespace ui {
namespace {

bool ContainsAny(const QString& inDescription, std::initializer_list<const char*> inWords) {
    for (const char* word : inWords)
        if (inDescription.contains(QString::fromLatin1(word))) return true;
    return false;
}

bool HostHasConversions() {
    return TableHasMember(gPDModelHFT, &PDModelTable::getImageConversionCount) &&
           TableHasMember(gPDModelHFT, &PDModelTable::getImageConversionDescription);
}

}  // namespace

QList<SourceFilter> StampSourceFilters(const QList<SourceFilter>& inFixed, const SourceFilterTest& inTest) {
    QList<SourceFilter> filters = inFixed;
    if (HostHasConversions()) {
        bool stop = false;
        const int32_t count = gPDModelHFT->getImageConversionCount();
        for (int32_t index = 0; index < count && !stop; ++index) {
            const char* extensions = nullptr;
            const char* description = gPDModelHFT->getImageConversionDescription(index, &extensions);
            if (!description) continue;
            const QString text = QString::fromUtf8(description);
            if (!inTest(text, stop)) continue;
            filters.append({text, QString::fromUtf8(extensions ? extensions : "").split(';', Qt::SkipEmptyParts)});
        }
    }
    SourceFilter all{ResText(kStrAllSupportedTypes), {}};
    for (const SourceFilter& filter : filters) all.extensions += filter.extensions;
    filters.prepend(all);
    return filters;
}

QString FilterString(const QList<SourceFilter>& inFilters) {
    QStringList parts;
    for (const SourceFilter& filter : inFilters) {
        QStringList patterns;
        for (const QString& extension : filter.extensions) patterns << QStringLiteral("*.") + extension;
        parts << filter.description + QStringLiteral(" (") + patterns.join(' ') + QStringLiteral(")");
    }
    return parts.join(QStringLiteral(";;"));
}

QString BrowseForStampSourceFile(QWidget* inParent, const QList<SourceFilter>& inFilters) {
    FileDialogRequest request;
    request.defaultExt = QStringLiteral("pdf");
    request.filter = FilterString(inFilters);
    return GetModalSeam().FileDialog(inParent, request);
}

bool PDFSourceTest(const QString& inDescription, bool& ioStop, int inHostVersion) {
    if (inHostVersion < 6) {
        ioStop = true;
        return false;
    }
    return ContainsAny(inDescription, {"AutoCAD", "Microsoft Excel", "Microsoft Office", "Microsoft PowerPoint",
                                       "Microsoft Project", "Microsoft Visio", "Microsoft Word"});
}

bool ImageSourceTest(const QString& inDescription, bool&, int inHostVersion) {
    if (ContainsAny(inDescription, {"JPEG", "TIFF"})) return true;
    return inHostVersion >= 6 &&
           ContainsAny(inDescription, {"GIF", "BMP", "JPEG2000", "PCX", "PNG", "PostScript/EPS"});
}

}  // namespace ui
