// The source-file browse of the PDF-page and image design dialogs: the
// filters of the open dialog are built from the host's conversions (file
// kinds the host opens as documents), each one tested by the caller, with
// "All supported types" (every listed extension) first.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

namespace ui {

// One filter of the open dialog: its description and extensions (no dots).
struct SourceFilter {
    QString description;
    QStringList extensions;
};

// A conversion's test: true adds it. Stop (set to true) ends the enumeration.
typedef std::function<bool(const QString& inDescription, bool& ioStop)> SourceFilterTest;

// The filters in the order the dialog shows them: "All supported types",
// then inFixed, then the host's conversions that pass inTest.
QList<SourceFilter> StampSourceFilters(const QList<SourceFilter>& inFixed, const SourceFilterTest& inTest);
// The filter list in Qt's syntax ("desc (*.a *.b);;...").
QString FilterString(const QList<SourceFilter>& inFilters);
// Runs the open dialog (through the modal seam) with those filters and the
// default extension ".pdf": the chosen path, empty when cancelled.
QString BrowseForStampSourceFile(QWidget* inParent, const QList<SourceFilter>& inFilters);

// The tests of the two dialogs: the PDF browse adds office-document
// conversions from host version 6 and stops at once below it; the image
// browse adds JPEG and TIFF, from host version 6 also GIF, BMP, JPEG2000,
// PCX, PNG and PostScript/EPS.
bool PDFSourceTest(const QString& inDescription, bool& ioStop, int inHostVersion);
bool ImageSourceTest(const QString& inDescription, bool& ioStop, int inHostVersion);

}  // namespace ui
