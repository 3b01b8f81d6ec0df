// PDModel actions: made from a subtype, a destination or a file spec,
// read, destroyed; and the road by which a go-to action taken from another
// document is made to point into the stamped document.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <QJsonArray>

#include "HostTables.h"
#include "PDModelEditSupport.h"
#include "common/PdfFixtures.h"
#include "cos/Document.h"
#include "qmhost/HostError.h"

namespace {

using namespace qmtest;

constexpr ASFixed kUnset = kPDViewDestNullZoom;

std::string fileSpecTextOf(PDFileSpec spec) {
    const int32_t length = pdT().fileSpecGetText(spec, nullptr, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    pdT().fileSpecGetText(spec, text.data(), length + 1);
    text.resize(static_cast<size_t>(length));
    return text;
}

class PDModelAction : public ::testing::Test {
protected:
    FixtureFolder folder;
    // A saved document of `pages` letter pages at folder/name.
    HostDoc savedDoc(const std::string& name, int pages) {
        const std::string path = folder.file(name);
        writeSimplePdf(path, pages);
        return HostDoc::open(path);
    }
};

TEST_F(PDModelAction, NewActionIsAnIndirectActionDictionary) {
    HostDoc doc = HostDoc::create();
    PDAction action = pdT().actionNew(doc.pd(), nameAtom("URI"));
    EXPECT_TRUE(pdT().actionIsValid(action));
    EXPECT_TRUE(cosT().objIsIndirect(action.cos));
    EXPECT_EQ(pdT().actionGetSubtype(action), nameAtom("URI"));
    EXPECT_EQ(unparsed(cosT().dictGet(action.cos, nameAtom("Type"))), "/Action");
    EXPECT_EQ(cosT().objGetType(pdT().actionGetDest(action).cos), CosNull);
}

TEST_F(PDModelAction, ValidityNeedsADictionaryWithASubtypeAndNeverRaises) {
    HostDoc doc = HostDoc::create();
    EXPECT_FALSE(pdT().actionIsValid(PDAction{cosT().newNull()}));
    EXPECT_FALSE(pdT().actionIsValid(PDAction{cosT().newDict(doc.cos(), true, 1)}));
    EXPECT_FALSE(pdT().actionIsValid(PDAction{cosT().newInteger(doc.cos(), false, 1)}));
    EXPECT_FALSE(pdT().actionIsValid(PDAction{CosObj{31337, 2}}));
}

TEST_F(PDModelAction, GoToInTheSameDocumentHoldsTheDestination) {
    HostDoc doc = savedDoc("main.pdf", 3);
    PDPage page = pdT().docAcquirePage(doc.pd(), 2);
    PDViewDestination dest = pdT().destCreate(doc.pd(), page, nameAtom("Fit"), nullptr, kUnset, 2);
    PDAction action = pdT().actionNewFromDest(doc.pd(), dest, doc.pd());
    EXPECT_EQ(pdT().actionGetSubtype(action), nameAtom("GoTo"));
    EXPECT_TRUE(cosT().objEqual(pdT().actionGetDest(action).cos, dest.cos));
    pdT().pageRelease(page);
}

TEST_F(PDModelAction, GoToWithADestinationOfAnotherDocumentIsRefused) {
    HostDoc doc = HostDoc::create();
    HostDoc other = HostDoc::create();
    PDViewDestination foreign = pdT().destCreate(other.pd(), nullptr, nameAtom("Fit"), nullptr, kUnset, 0);
    EXPECT_EQ(hostErrorOf([&] { pdT().actionNewFromDest(doc.pd(), foreign, doc.pd()); }), kHostErrBadParameter);
}

TEST_F(PDModelAction, GoToRemoteNamesTheFileRelativelyAndThePageByNumber) {
    HostDoc doc = savedDoc("main.pdf", 1);
    std::filesystem::create_directory(folder.file("sub"));
    HostDoc target = savedDoc("sub/target.pdf", 5);
    PDPage page = pdT().docAcquirePage(target.pd(), 3);
    PDViewDestination dest = pdT().destCreate(target.pd(), page, nameAtom("Fit"), nullptr, kUnset, 3);
    PDAction action = pdT().actionNewFromDest(doc.pd(), dest, target.pd());
    pdT().pageRelease(page);

    EXPECT_EQ(pdT().actionGetSubtype(action), nameAtom("GoToR"));
    EXPECT_EQ(unparsed(pdT().actionGetDest(action).cos), "[ 3 /Fit ]");
    PDFileSpec spec{cosT().dictGet(action.cos, nameAtom("F"))};
    ASSERT_TRUE(pdT().fileSpecIsValid(spec));
    EXPECT_EQ(fileSpecTextOf(spec), "sub/target.pdf");
}

TEST_F(PDModelAction, GoToRemoteKeepsAPageNumberAsGiven) {
    HostDoc doc = savedDoc("main.pdf", 1);
    HostDoc target = savedDoc("target.pdf", 1);
    PDViewDestination dest = pdT().destCreate(target.pd(), nullptr, nameAtom("FitH"), nullptr, kUnset, 3);
    PDAction action = pdT().actionNewFromDest(doc.pd(), dest, target.pd());
    EXPECT_EQ(unparsed(pdT().actionGetDest(action).cos), "[ 3 /FitH null ]");
}

TEST_F(PDModelAction, GoToRemoteToAnUntitledDocumentIsRefused) {
    HostDoc doc = savedDoc("main.pdf", 1);
    HostDoc untitled = HostDoc::create();
    PDViewDestination dest = pdT().destCreate(untitled.pd(), nullptr, nameAtom("Fit"), nullptr, kUnset, 0);
    EXPECT_EQ(hostErrorOf([&] { pdT().actionNewFromDest(doc.pd(), dest, untitled.pd()); }), kHostErrBadParameter);
}

TEST_F(PDModelAction, LaunchActionCarriesTheFileSpecification) {
    HostDoc doc = savedDoc("main.pdf", 1);
    HostPath target(folder.file("notes/readme.txt"));
    HostPath base(folder.file("main.pdf"));
    PDFileSpec spec = pdT().fileSpecNewFromPath(doc.pd(), target, base);
    PDAction action = pdT().actionNewFromFileSpec(doc.pd(), nameAtom("Launch"), spec);
    EXPECT_EQ(pdT().actionGetSubtype(action), nameAtom("Launch"));
    EXPECT_EQ(fileSpecTextOf(PDFileSpec{cosT().dictGet(action.cos, nameAtom("F"))}), "notes/readme.txt");
    EXPECT_EQ(hostErrorOf([&] {
                  pdT().actionNewFromFileSpec(doc.pd(), nameAtom("Launch"), PDFileSpec{cosT().newNull()});
              }),
              kHostErrBadParameter);
}

TEST_F(PDModelAction, DestroyRemovesTheObjectAndMayBeRepeated) {
    HostDoc doc = savedDoc("main.pdf", 1);
    PDAction action = pdT().actionNew(doc.pd(), nameAtom("URI"));
    PDPage page = pdT().docAcquirePage(doc.pd(), 0);
    const ASFixedRect r = fixedRect(0, 0, 10, 10);
    PDAnnot annot = pdT().pageCreateAnnot(page, nameAtom("Link"), &r);
    pdT().linkAnnotSetAction(annot, action);
    pdT().pageAddAnnot(page, -1, annot);
    pdT().pageRelease(page);

    pdT().actionDestroy(action);
    EXPECT_FALSE(pdT().actionIsValid(action));
    EXPECT_EQ(hostErrorOf([&] { pdT().actionDestroy(action); }), 0);
    EXPECT_EQ(hostErrorOf([&] { pdT().actionDestroy(PDAction{cosT().newNull()}); }), 0);
    const std::string path = folder.file("destroyed.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);
    EXPECT_EQ(qpdfCheck(path).status, 0) << qpdfCheck(path).output;
}

// The stamp's road: the go-to action of a carrier document is copied into the
// stamped document, its page index resolved there, and rebuilt to point into it.
TEST_F(PDModelAction, GoToFromACarrierDocumentIsMadeToPointIntoTheStampedDocument) {
    const std::string carrierPath = folder.file("carrier.pdf");
    writeBuiltPdf(carrierPath, [](QPDF& pdf) {
        appendPage(pdf, 612, 792);
        QPDFObjectHandle dest = pdf.makeIndirectObject(QPDFObjectHandle::parse("[ 2 /XYZ null null null ]"));
        QPDFObjectHandle action = QPDFObjectHandle::parse("<< /S /GoTo >>");
        action.replaceKey("/D", dest);
        pdf.getRoot().replaceKey("/OpenAction", pdf.makeIndirectObject(action));
    });
    HostDoc carrier = HostDoc::open(carrierPath);
    HostDoc doc = savedDoc("stamped.pdf", 4);

    CosObj carried = cosT().dictGet(cosT().docGetRoot(carrier.cos()), nameAtom("OpenAction"));
    PDAction action{cosT().objCopy(carried, doc.cos())};
    ASSERT_TRUE(pdT().actionIsValid(action));
    ASSERT_EQ(pdT().actionGetSubtype(action), nameAtom("GoTo"));
    PDViewDestination resolved = pdT().destResolve(pdT().actionGetDest(action), doc.pd());
    ASSERT_TRUE(pdT().destIsValid(resolved));
    int32_t number = -1;
    ASAtom fit = nameAtom("XYZ");
    ASFixedRect rect{0, 0, 0, 0};
    ASFixed zoom = kUnset;
    pdT().destGetAttr(resolved, doc.pd(), &number, &fit, &rect, &zoom);
    ASSERT_EQ(number, 2);
    PDPage page = pdT().docAcquirePage(doc.pd(), number);
    PDViewDestination dest = pdT().destCreate(doc.pd(), page, fit, &rect, zoom, number);
    pdT().pageRelease(page);
    ASSERT_TRUE(pdT().destIsValid(dest));
    pdT().actionDestroy(action);
    action = pdT().actionNewFromDest(doc.pd(), dest, doc.pd());

    PDPage first = pdT().docAcquirePage(doc.pd(), 0);
    const ASFixedRect r = fixedRect(72, 72, 144, 144);
    PDAnnot annot = pdT().pageCreateAnnot(first, nameAtom("Link"), &r);
    pdT().linkAnnotSetAction(annot, action);
    pdT().pageAddAnnot(first, pdT().pageGetNumAnnots(first) - 1, annot);
    pdT().pageRelease(first);
    const std::string path = folder.file("stamped-out.pdf");
    HostPath out(path);
    pdT().docSave(doc.pd(), out);

    EXPECT_EQ(qpdfCheck(path).status, 0) << qpdfCheck(path).output;
    SavedPdf saved(path);
    const QJsonObject link =
        saved.resolved(saved.resolved(saved.object(saved.pageReference(0)).toObject().value("/Annots")).toArray().at(0))
            .toObject();
    const QJsonArray savedDest =
        saved.resolved(saved.resolved(link.value("/A")).toObject().value("/D")).toArray();
    EXPECT_EQ(savedDest, (QJsonArray{QString::fromStdString(saved.pageReference(2)), "/XYZ", QJsonValue(),
                                     QJsonValue(), QJsonValue()}));
}

}  // namespace
