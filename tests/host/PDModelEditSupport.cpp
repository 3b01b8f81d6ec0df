#include "PDModelEditSupport.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <qpdf/QPDFWriter.hh>

#include "HostTables.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace qmtest {

const CosTable& cosT() { return *qmhost::cosTable(); }
const PDModelTable& pdT() { return *qmhost::pdModelTable(); }

ASFixedRect fixedRect(double left, double bottom, double right, double top) {
    return ASFixedRect{fixedOf(left), fixedOf(top), fixedOf(right), fixedOf(bottom)};
}

bool sameFixedRect(const ASFixedRect& a, const ASFixedRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void writeBuiltPdf(const std::string& path, const std::function<void(QPDF&)>& build) {
    QPDF pdf;
    pdf.emptyPDF();
    build(pdf);
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.setObjectStreamMode(qpdf_o_disable);
    writer.setCompressStreams(false);
    writer.write();
}

QPDFObjectHandle appendPage(QPDF& pdf, double width, double height, const std::string& content, int rotate) {
    QPDFObjectHandle page = QPDFObjectHandle::newDictionary();
    page.replaceKey("/Type", QPDFObjectHandle::newName("/Page"));
    page.replaceKey("/MediaBox", QPDFObjectHandle::newArray(QPDFObjectHandle::Rectangle(0, 0, width, height)));
    page.replaceKey("/Resources", QPDFObjectHandle::newDictionary());
    if (!content.empty()) page.replaceKey("/Contents", pdf.newStream(content));
    if (rotate != 0) page.replaceKey("/Rotate", QPDFObjectHandle::newInteger(rotate));
    page = pdf.makeIndirectObject(page);
    pdf.addPage(page, false);
    return page;
}

SavedPdf::SavedPdf(const std::string& path) {
    const CommandResult result =
        runCommand("qpdf --json=2 --json-key=qpdf --json-key=pages " + shellQuote(path) + " 2>/dev/null");
    EXPECT_EQ(result.status, 0) << result.output;
    const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(result.output)).object();
    mObjects = root.value("qpdf").toArray().at(1).toObject();
    for (const QJsonValue& page : root.value("pages").toArray())
        mPages.push_back(page.toObject().value("object").toString().toStdString());
}

QJsonValue SavedPdf::object(const std::string& reference) const {
    return mObjects.value(QString::fromStdString("obj:" + reference)).toObject().value("value");
}

QJsonValue SavedPdf::resolved(const QJsonValue& value) const {
    if (value.isString() && value.toString().endsWith(" R")) return object(value.toString().toStdString());
    return value;
}

std::string SavedPdf::pageReference(int index) const {
    return index >= 0 && static_cast<size_t>(index) < mPages.size() ? mPages[static_cast<size_t>(index)] : "";
}

int SavedPdf::pageCount() const { return static_cast<int>(mPages.size()); }

std::string unparsed(CosObj object) { return qmhost::objectOf(object).unparse(); }

std::string unparsedValue(CosObj object) { return qmhost::objectOf(object).unparseResolved(); }

}  // namespace qmtest
