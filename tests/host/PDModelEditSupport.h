// Helpers for the tests of the PDModel editing entries: PDFs built with qpdf,
// fixed-point values, host error codes, and saved files read back with qpdf's
// JSON output.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QJsonObject>
#include <QJsonValue>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

#include "common/HostErrorOf.h"
#include "qmhost/CosTable.h"
#include "qmhost/PDModelTable.h"

namespace qmtest {

const CosTable& cosT();
const PDModelTable& pdT();

constexpr ASFixed fixedOf(double value) { return static_cast<ASFixed>(value * 65536.0); }
// A fixed rectangle from PDF order (left, bottom, right, top).
ASFixedRect fixedRect(double left, double bottom, double right, double top);
bool sameFixedRect(const ASFixedRect& a, const ASFixedRect& b);

// Writes a PDF that build fills in (starting from an empty document without
// pages); static ID, no object streams, uncompressed streams.
void writeBuiltPdf(const std::string& path, const std::function<void(QPDF&)>& build);
// Appends a page with that media box, content (may be empty) and /Rotate (0: none).
QPDFObjectHandle appendPage(QPDF& pdf, double width, double height, const std::string& content = {},
                            int rotate = 0);

// A saved file seen through `qpdf --json=2`.
class SavedPdf {
public:
    explicit SavedPdf(const std::string& path);  // fails the test when qpdf fails
    // "obj:12 0 R" -> its value; objects and references are written "12 0 R".
    QJsonValue object(const std::string& reference) const;
    // A reference's value when it is one ("12 0 R"), else the value itself.
    QJsonValue resolved(const QJsonValue& value) const;
    std::string pageReference(int index) const;  // "" when there is no such page
    int pageCount() const;

private:
    QJsonObject mObjects;
    std::vector<std::string> mPages;
};

// The text of a Cos object as qpdf writes it ("[ 3 0 R /XYZ null null null ]");
// an indirect object gives its reference ("3 0 R").
std::string unparsed(CosObj object);
// The same with an indirect object's own value ("<< /Type /Annot ... >>").
std::string unparsedValue(CosObj object);

}  // namespace qmtest
