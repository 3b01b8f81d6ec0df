// Link annotations of text stamps, checked with `qpdf --json`, and undo of a
// stamping run through the element undo records.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>

#include "EngineFixture.h"
#include "engine/CPDFAction.h"
#include "engine/CPDFElementUndoController.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"
#include "support/cos/PDFAtoms.h"

namespace {

// Two "Text" annotations on the page, as a user's notes would be.
void AddNotes(const CPDFDocument& doc, int pageIndex) {
    const CosDoc cos = doc.GetCosDoc();
    const CosObj annots = gCosHFT->newArray(cos, false, 2);
    for (int i = 0; i < 2; ++i) {
        const CosObj note = gCosHFT->newDict(cos, true, 3);
        gCosHFT->dictPut(note, gAtomType, gCosHFT->newName(cos, false, qmtest::nameAtom("Annot")));
        gCosHFT->dictPut(note, gAtomSubtype, gCosHFT->newName(cos, false, gAtomText));
        const CosObj rect = gCosHFT->newArray(cos, false, 4);
        for (int k = 0; k < 4; ++k) gCosHFT->arrayPut(rect, k, gCosHFT->newInteger(cos, false, 10 + 20 * k));
        gCosHFT->dictPut(note, qmtest::nameAtom("Rect"), rect);
        gCosHFT->arrayPut(annots, i, note);
    }
    gCosHFT->dictPut(enginetest::PageDict(doc, pageIndex), qmtest::nameAtom("Annots"), annots);
}

// A JSON value that may be a reference ("5 0 R") or the object itself.
QJsonObject Resolve(const QJsonObject& json, const QJsonValue& value) {
    return value.isString() ? enginetest::JsonObject(json, value.toString()) : value.toObject();
}

TEST(StampLinks, EachActionTypeLandsAfterTheExistingAnnotationsAndResolves) {
    enginetest::StartEngine();
    qmtest::FixtureFolder folder;
    const std::string in = folder.file("links-in.pdf");
    qmtest::writeSimplePdf(in, 3);
    auto doc = enginetest::OpenDocument(in);
    AddNotes(*doc, 0);
    ASSERT_TRUE(doc->WrapAllPageContents());

    std::vector<std::unique_ptr<CPDFAction>> actions;
    auto action = [&]() -> CPDFAction& {
        actions.push_back(std::make_unique<CPDFAction>());
        actions.back()->SetDocument(doc->GetPDDoc());
        return *actions.back();
    };
    ASSERT_TRUE(action().MakeGoToAction(2));
    ASSERT_TRUE(action().MakeGoToRAction(folder.file("other.pdf").c_str(), 3));
    ASSERT_TRUE(action().MakeLaunchAction(folder.file("readme.txt").c_str()));
    ASSERT_TRUE(action().MakeURIAction("https://example.org/quill"));
    const char* const texts[] = {"GoToLink", "RemoteLink", "LaunchLink", "WebLink"};
    for (size_t i = 0; i < actions.size(); ++i) {
        ASSERT_TRUE(actions[i]->ResolveGoTo()) << texts[i];
        auto stamp = enginetest::MakeTextStamp(*doc, texts[i], 16);
        stamp->placement.SetAlignment(CPDFPlacement::kAlignLeft, 0);
        stamp->placement.SetOffset(72, 72 + 60.0 * static_cast<double>(i));
        stamp->element.SetAction(actions[i].get());
        ASSERT_TRUE(stamp->element.Write(0)) << stamp->element.GetErrorText();
    }
    const std::string out = folder.file("links.pdf");
    enginetest::SaveDocument(*doc, out);
    ASSERT_EQ(qmtest::qpdfCheck(out).status, 0) << qmtest::qpdfCheck(out).output;

    const QJsonObject json = enginetest::QpdfJson(out);
    const QJsonArray pages = json.value("pages").toArray();
    ASSERT_EQ(pages.size(), 3);
    const QJsonObject page = enginetest::JsonObject(json, pages.at(0).toObject().value("object").toString());
    const QJsonArray annots = page.value("/Annots").toArray();
    ASSERT_EQ(annots.size(), 6);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Resolve(json, annots.at(i)).value("/Subtype").toString(), "/Text") << "notes stay first";
    const auto text = enginetest::TextBoxes(out);
    for (int i = 0; i < 4; ++i) {
        const QJsonObject link = Resolve(json, annots.at(2 + i));
        EXPECT_EQ(link.value("/Subtype").toString(), "/Link") << texts[i];
        // The link covers its text.
        enginetest::Word word{};
        ASSERT_TRUE(enginetest::FindWords(text[0], texts[i], word));
        const QJsonArray rect = link.value("/Rect").toArray();
        ASSERT_EQ(rect.size(), 4);
        EXPECT_LE(rect.at(0).toDouble(), word.xMin + 0.5) << texts[i];
        EXPECT_GE(rect.at(2).toDouble(), word.xMax - 0.5) << texts[i];
        EXPECT_GE(rect.at(3).toDouble(), 792 - word.yMin - 2) << texts[i];
        EXPECT_LE(rect.at(1).toDouble(), 792 - word.yMax + 0.5) << texts[i];
        const QJsonObject a = Resolve(json, link.value("/A"));
        switch (i) {
            case 0: {
                EXPECT_EQ(a.value("/S").toString(), "/GoTo");
                const QJsonArray dest = a.value("/D").toArray();
                ASSERT_FALSE(dest.isEmpty());
                EXPECT_EQ(dest.at(0).toString(), pages.at(2).toObject().value("object").toString())
                    << "the destination is the document's third page";
                break;
            }
            case 1: {
                EXPECT_EQ(a.value("/S").toString(), "/GoToR");
                const QJsonArray dest = a.value("/D").toArray();
                ASSERT_EQ(dest.size(), 2);
                EXPECT_EQ(dest.at(0).toInt(), 3);
                EXPECT_EQ(dest.at(1).toString(), "/Fit");
                EXPECT_FALSE(a.value("/F").isUndefined());
                break;
            }
            case 2:
                EXPECT_EQ(a.value("/S").toString(), "/Launch");
                EXPECT_FALSE(a.value("/F").isUndefined());
                break;
            case 3:
                EXPECT_EQ(a.value("/S").toString(), "/URI");
                EXPECT_EQ(a.value("/URI").toString(), "u:https://example.org/quill");
                break;
        }
    }
}

// --- undo

// The controller for one test: the plug-in's when it has one, else one made
// for the test (and deleted after the test's documents are closed).
std::unique_ptr<CPDFElementUndoController> ControllerForTest() {
    if (CPDFElementUndoController::GetUndoController()) return nullptr;
    return std::make_unique<CPDFElementUndoController>();
}

TEST(StampUndo, UndoOfARunRestoresTheWrappedDocument) {
    enginetest::StartEngine();
    const auto controller = ControllerForTest();
    ASSERT_NE(CPDFElementUndoController::GetUndoController(), nullptr);
    qmtest::FixtureFolder folder;
    std::vector<qmtest::FixturePage> pages(4);
    pages[0].contents = qmtest::FixtureContents::None;
    pages[2].contents = qmtest::FixtureContents::StreamArray;
    pages[3].rotate = 90;
    const std::string in = folder.file("undo-in.pdf");
    qmtest::writeFixturePdf(in, pages);  // resources inherited from the page tree
    auto doc = enginetest::OpenDocument(in);
    AddNotes(*doc, 1);
    ASSERT_TRUE(doc->WrapAllPageContents());
    ASSERT_TRUE(doc->OpenView());
    const AVDoc view = doc->GetAVDoc();
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 0) << "wrapping is not recorded";
    const std::string wrapped = folder.file("wrapped.pdf");
    enginetest::SaveDocument(*doc, wrapped);

    CPDFAction link;
    link.SetDocument(doc->GetPDDoc());
    ASSERT_TRUE(link.MakeURIAction("https://example.org/undo"));
    auto over = enginetest::MakeTextStamp(*doc, "Undone\r\nstamp", 18);
    over->element.SetRecordUndo(true);
    over->element.SetLineWidth(1);
    over->element.SetFillColor(220, 220, 255);
    over->element.SetUnderline(2);
    over->element.SetAction(&link);
    auto under = enginetest::MakeTextStamp(*doc, "Beneath", 30);
    under->element.SetRecordUndo(true);
    under->element.SetUnderlay(true);
    for (int page = 0; page < 4; ++page) {
        ASSERT_TRUE(over->element.Write(page));
        ASSERT_TRUE(under->element.Write(page));
    }
    // The pages inherit one resource dictionary, so each element enters its
    // font and graphics state there once, on the first page (the first also
    // makes the "ExtGState" dictionary). Per page: four pieces and a link,
    // an "Annots" array made where the page had none (all but the second),
    // and the underlay's one piece.
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), (1 + 2) + 2 + 4 * (4 + 1 + 1) + 3);
    const std::string stamped = folder.file("stamped.pdf");
    enginetest::SaveDocument(*doc, stamped);
    EXPECT_NE(enginetest::ReadPageState(stamped, 0), enginetest::ReadPageState(wrapped, 0));

    EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 0);
    const std::string undone = folder.file("undone.pdf");
    enginetest::SaveDocument(*doc, undone);
    EXPECT_EQ(qmtest::qpdfCheck(undone).status, 0);
    for (int page = 0; page < 4; ++page) {
        const auto expected = enginetest::ReadPageState(wrapped, page);
        const auto actual = enginetest::ReadPageState(undone, page);
        EXPECT_EQ(actual.contents, expected.contents) << page;
        EXPECT_EQ(actual.resources, expected.resources) << page;
        EXPECT_EQ(actual.annotations, expected.annotations) << page;
    }
    EXPECT_TRUE(doc->Close());
}

// The first page's "/ExtGState" resource entry as qpdf --json gives it.
QJsonValue CategoryValue(const std::string& path) {
    const QJsonObject json = enginetest::QpdfJson(path);
    const QJsonObject page =
        enginetest::JsonObject(json, json.value("pages").toArray().at(0).toObject().value("object").toString());
    return Resolve(json, page.value("/Resources")).value("/ExtGState");
}

// A category entry of the page's resources that is no dictionary (a damaged
// file) is replaced by the dictionary the stamp needs; undo puts the old value
// back, also once the run has let go of what it read from the page.
TEST(StampUndo, UndoPutsBackACategoryValueThatWasNoDictionary) {
    enginetest::StartEngine();
    const auto controller = ControllerForTest();
    struct Row {
        const char* name;
        std::function<CosObj(CosDoc)> make;
    };
    const Row rows[] = {
        {"integer", [](CosDoc d) { return gCosHFT->newInteger(d, false, 5); }},
        {"name", [](CosDoc d) { return gCosHFT->newName(d, false, qmtest::nameAtom("Damaged")); }},
        {"array", [](CosDoc d) {
             const CosObj array = gCosHFT->newArray(d, false, 1);
             gCosHFT->arrayPut(array, 0, gCosHFT->newInteger(d, false, 1));
             return array;
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        qmtest::FixtureFolder folder;
        const std::string in = folder.file("in.pdf");
        qmtest::writeSimplePdf(in, 1);
        {
            auto damaged = enginetest::OpenDocument(in);
            const CosObj resources = gCosHFT->newDict(damaged->GetCosDoc(), false, 1);
            gCosHFT->dictPut(resources, gAtomExtGState, row.make(damaged->GetCosDoc()));
            gCosHFT->dictPut(enginetest::PageDict(*damaged, 0), gAtomResources, resources);
            enginetest::SaveDocument(*damaged, folder.file("damaged.pdf"));
            EXPECT_TRUE(damaged->Close());
        }
        // Opened again: the page's values are first read by the write itself.
        auto doc = enginetest::OpenDocument(folder.file("damaged.pdf"));
        ASSERT_TRUE(doc->OpenView());
        const std::string before = folder.file("before.pdf");
        enginetest::SaveDocument(*doc, before);
        auto stamp = enginetest::MakeTextStamp(*doc, "x", 12);
        stamp->element.SetRecordUndo(true);
        ASSERT_TRUE(stamp->element.Write(0)) << stamp->element.GetErrorText();
        EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(doc->GetAVDoc(), nullptr, nullptr));
        const std::string undone = folder.file("undone.pdf");
        enginetest::SaveDocument(*doc, undone);
        EXPECT_EQ(CategoryValue(undone), CategoryValue(before));
        EXPECT_EQ(enginetest::ReadPageState(undone, 0).resources, enginetest::ReadPageState(before, 0).resources);
        EXPECT_EQ(enginetest::ReadPageState(undone, 0).contents, enginetest::ReadPageState(before, 0).contents);
        EXPECT_TRUE(doc->Close());
    }
}

}  // namespace
