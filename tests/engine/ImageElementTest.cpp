// The image element in memory: loading an image file into one image XObject,
// and the resource entries, graphics state and content pieces that a write
// adds to a page.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "TextOnDocument.h"
#include "engine/CPDFAction.h"
#include "engine/CPDFElementUndoController.h"
#include "engine/CPDFImageElement.h"
#include "common/ImageFixtures.h"
#include "support/ErrorMessage.h"
#include "support/FixedPoint.h"
#include "support/HostTables.h"

namespace {

using enginetest::Lookup;

std::vector<double> Reals(CosObj array) {
    std::vector<double> values;
    for (int32_t i = 0; i < gCosHFT->arrayLength(array); ++i)
        values.push_back(FixedToDouble(gCosHFT->fixedValue(gCosHFT->arrayGet(array, i))));
    return values;
}

class ImageElement : public enginetest::TextOnDocument {
protected:
    void SetUp() override {
        TextOnDocument::SetUp();
        mElement.SetDocument(&mDoc);
        mElement.SetPlacement(&mPlacement);
        mElement.SetOpacity(1.0);
        mPlacement.SetAlignment(CPDFPlacement::kAlignLeft, 1);
        mPlacement.SetOffset(72, 72);
    }
    // A gray JPEG of w x h pixels, given to the element (not loaded).
    std::string UseJpeg(int w, int h, imagetest::JpegColor color = imagetest::JpegColor::Gray) {
        const std::string path = mFolder.file("image-" + std::to_string(++mFiles) + ".jpg");
        imagetest::WriteJpeg(path, color, w, h);
        mElement.SetImageFile(TFileSpecifier(path.c_str()));
        return path;
    }
    void Load(int w = 100, int h = 50) {
        UseJpeg(w, h);
        ASSERT_TRUE(mElement.LoadImage()) << GetErrorMessage();
    }
    CosObj Entry(const char* category, const char* name, int page = 0) const {
        return Lookup(Page(page), {"Resources", category, name});
    }

    qmtest::FixtureFolder mFolder;
    CPDFPlacement mPlacement;
    CPDFImageElement mElement;
    int mFiles = 0;
};

// --- loading

TEST_F(ImageElement, LoadMakesOneImageAndSetsTheElementBoxToThePixelSize) {
    Load(100, 50);
    const CosObj image = mElement.GetImage();
    ASSERT_EQ(gCosHFT->objGetType(image), CosStream);
    EXPECT_EQ(gCosHFT->objGetDoc(image), mDoc.GetCosDoc());
    EXPECT_EQ(gCosHFT->integerValue(Lookup(gCosHFT->streamDict(image), {"Width"})), 100);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(gCosHFT->streamDict(image), {"Filter"})), qmtest::nameAtom("FlateDecode"));
    EXPECT_EQ(mElement.GetImageWidth(), 100);
    EXPECT_EQ(mElement.GetImageHeight(), 50);
    EXPECT_EQ(mPlacement.mElementBox.right, 100 * kASFixedOne);
    EXPECT_EQ(mPlacement.mElementBox.top, 50 * kASFixedOne);
    EXPECT_EQ(mPlacement.mElementBox.left, 0);
    EXPECT_EQ(mPlacement.mElementBox.bottom, 0);
}

TEST_F(ImageElement, TiffIsLoadedThroughItsOwnType) {
    const std::string path = mFolder.file("image.tif");
    imagetest::WriteTiff(path, imagetest::TiffColor::Palette, 16, 10);
    mElement.SetImageFile(TFileSpecifier(path.c_str()));
    ASSERT_TRUE(mElement.LoadImage()) << GetErrorMessage();
    const CosObj space = Lookup(gCosHFT->streamDict(mElement.GetImage()), {"ColorSpace"});
    ASSERT_EQ(gCosHFT->objGetType(space), CosArray);
    EXPECT_EQ(gCosHFT->nameValue(gCosHFT->arrayGet(space, 0)), qmtest::nameAtom("Indexed"));
}

struct BadFileCase {
    const char* name;
    std::string bytes;  // empty: no file at all
    bool message;       // "Error in creating the image" expected
};

class ImageElementBadFile : public ImageElement, public testing::WithParamInterface<BadFileCase> {};

TEST_P(ImageElementBadFile, LoadFailsAndNothingIsWritten) {
    const BadFileCase& c = GetParam();
    const std::string path = mFolder.file("bad.img");
    if (!c.bytes.empty()) qmtest::writeBytes(path, c.bytes);
    mElement.SetImageFile(TFileSpecifier(path.c_str()));
    ClearErrorMessage();
    EXPECT_FALSE(mElement.LoadImage());
    EXPECT_EQ(gCosHFT->objGetType(mElement.GetImage()), CosNull);
    if (c.message)
        EXPECT_STREQ(GetErrorMessage(), "Error in creating the image");
    else
        EXPECT_FALSE(HasErrorMessage()) << GetErrorMessage();
    const auto before = Pieces();
    for (int i = 0; i < 2; ++i) EXPECT_FALSE(mElement.Write(0)) << "the same on every page";
    EXPECT_EQ(Pieces(), before);
    EXPECT_EQ(gCosHFT->objGetType(Entry("XObject", "NxI0")), CosNull);
}

std::string Head(imagetest::JpegColor color, size_t keep) {
    const auto bytes = imagetest::JpegBytes(color, 32, 32);
    return std::string(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min(keep, bytes.size())));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImageElementBadFile,
    testing::Values(BadFileCase{"MissingFile", "", true},
                    BadFileCase{"PngIsNoTypeOfThisElement", std::string("\x89PNG\r\n\x1a\n0000", 12), false},
                    BadFileCase{"PlainText", "just some words", false},
                    BadFileCase{"JpegCutInsideItsHeader", Head(imagetest::JpegColor::RGB, 40), true},
                    BadFileCase{"TiffHeaderOnly", std::string("II*\0\x08\0\0\0", 8), true}),
    [](const auto& row) { return std::string(row.param.name); });

// --- writing

TEST_F(ImageElement, PiecePlacesTheUnitSquareScaledToTheImage) {
    Load(100, 50);
    mPlacement.SetScale(0.5, 0.5);
    ASSERT_TRUE(mElement.Write(0)) << mElement.GetErrorText();
    EXPECT_EQ(Pieces().back(),
              " q /NxGS0 gs 50 0 0 25 72 72 cm /NxI0 Do Q ");
    EXPECT_DOUBLE_EQ(mPlacement.GetScaleX(), 0.5) << "the scale is put back";
    EXPECT_TRUE(gCosHFT->objEqual(Entry("XObject", "NxI0"), mElement.GetImage()));
}

TEST_F(ImageElement, PieceNumbersIgnoreACommaDecimalLocale) {
    if (!enginetest::SetCommaDecimalLocale()) GTEST_SKIP() << "no comma-decimal locale to be had";
    Load(100, 50);
    mPlacement.SetScale(0.25, 0.25);
    const bool written = mElement.Write(0);
    enginetest::RestoreCLocale();
    ASSERT_TRUE(written);
    EXPECT_EQ(Pieces().back(),
              " q /NxGS0 gs 25 0 0 12.5 72 72 cm /NxI0 Do Q ");
}

TEST_F(ImageElement, WriteBeforeLoadingAddsNothing) {
    UseJpeg(10, 10);
    const auto before = Pieces();
    EXPECT_FALSE(mElement.Write(0));
    EXPECT_EQ(Pieces(), before);
}

TEST_F(ImageElement, TwoStampsOnOnePageGetTheNextNames) {
    Load();
    mElement.SetOpacity(0.5);
    ASSERT_TRUE(mElement.Write(0));
    ASSERT_TRUE(mElement.Write(0));
    EXPECT_TRUE(gCosHFT->objEqual(Entry("XObject", "NxI1"), mElement.GetImage()));
    const CosObj gs = Entry("ExtGState", "NxGS1");
    ASSERT_EQ(gCosHFT->objGetType(gs), CosDict);
    EXPECT_TRUE(gCosHFT->objIsIndirect(gs));
    // One graphics-state object per distinct state and document.
    EXPECT_TRUE(gCosHFT->objEqual(gs, Entry("ExtGState", "NxGS0")));
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(gs, {"ca"})), 32768);
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(gs, {"CA"})), 32768);
    EXPECT_EQ(gCosHFT->nameValue(Lookup(gs, {"Type"})), qmtest::nameAtom("ExtGState"));
    EXPECT_NE(Pieces().back().find("/NxGS1 gs "), std::string::npos);
    EXPECT_NE(Pieces().back().find("/NxI1 Do Q "), std::string::npos);
    mElement.SetOpacity(0.25);
    ASSERT_TRUE(mElement.Write(0));
    const CosObj quarter = Entry("ExtGState", "NxGS2");
    EXPECT_FALSE(gCosHFT->objEqual(quarter, gs));
    EXPECT_EQ(gCosHFT->fixedValue(Lookup(quarter, {"ca"})), 16384);
}

TEST_F(ImageElement, OneImageServesEveryPage) {
    ASSERT_TRUE(mDoc.AppendBlankPage());
    ASSERT_TRUE(mDoc.AppendBlankPage());
    Load();
    for (int page = 0; page < 3; ++page) ASSERT_TRUE(mElement.Write(page));
    for (int page = 0; page < 3; ++page)
        EXPECT_TRUE(gCosHFT->objEqual(Entry("XObject", "NxI0", page), mElement.GetImage())) << page;
}

struct OrderCase {
    const char* name;
    bool underlay;
    double lineWidth;
};

class ImageElementOrder : public ImageElement, public testing::WithParamInterface<OrderCase> {};

TEST_P(ImageElementOrder, BorderIsDrawnOverTheImage) {
    const OrderCase& c = GetParam();
    Load(100, 50);
    mElement.SetUnderlay(c.underlay);
    mElement.SetLineWidth(c.lineWidth);
    const auto before = Pieces();
    ASSERT_TRUE(mElement.Write(0));
    const auto after = Pieces();
    const size_t added = c.lineWidth > 0 ? 2 : 1;
    ASSERT_EQ(after.size(), before.size() + added);
    const size_t first = c.underlay ? 0 : before.size();
    EXPECT_NE(after[first].find(" Do Q "), std::string::npos);
    if (added == 2) {
        // The border runs around the image: 72..172 x 72..122.
        EXPECT_EQ(after[first + 1],
                  " q 0 G 2 w /NxGS0 gs 72 72 m 172 72 l 172 122 l 72 122 l h S Q ");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ImageElementOrder,
                         testing::Values(OrderCase{"Overlay", false, 2}, OrderCase{"Underlay", true, 2},
                                         OrderCase{"OverlayWithoutBorder", false, 0},
                                         OrderCase{"UnderlayWithoutBorder", true, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST_F(ImageElement, PageWithoutResourcesGetsItsOwnIndirectDictionary) {
    gCosHFT->dictRemove(Page(), qmtest::nameAtom("Resources"));
    ASSERT_EQ(gCosHFT->objGetType(Lookup(Page(), {"Parent", "Resources"})), CosNull);
    Load();
    ASSERT_TRUE(mElement.Write(0));
    const CosObj resources = Lookup(Page(), {"Resources"});
    EXPECT_TRUE(gCosHFT->objIsIndirect(resources));
    ASSERT_EQ(gCosHFT->objGetType(Lookup(resources, {"XObject", "NxI0"})), CosStream);
    EXPECT_TRUE(gCosHFT->objIsIndirect(Lookup(resources, {"XObject"})));
    EXPECT_TRUE(gCosHFT->objIsIndirect(Lookup(resources, {"ExtGState"})));
}

TEST_F(ImageElement, LinkCoversTheScaledImage) {
    Load(100, 50);
    CPDFAction link;
    link.SetDocument(mDoc.GetPDDoc());
    ASSERT_TRUE(link.MakeURIAction("https://example.org/image"));
    mElement.SetAction(&link);
    mPlacement.SetScale(2, 2);
    ASSERT_TRUE(mElement.Write(0));
    const CosObj annots = Lookup(Page(), {"Annots"});
    ASSERT_EQ(gCosHFT->arrayLength(annots), 1);
    auto rect = Reals(Lookup(gCosHFT->arrayGet(annots, 0), {"Rect"}));
    ASSERT_EQ(rect.size(), 4u);
    std::sort(rect.begin(), rect.end());
    EXPECT_EQ(rect, (std::vector<double>{72, 72, 172, 272}));
}

TEST_F(ImageElement, AnotherTargetDocumentGetsItsOwnImage) {
    Load();
    CPDFDocument other;
    ASSERT_TRUE(other.CreateNew());
    mElement.SetDocument(&other);
    ASSERT_TRUE(mElement.Write(0)) << mElement.GetErrorText();
    const CosObj image = Lookup(enginetest::PageDict(other, 0), {"Resources", "XObject", "NxI0"});
    ASSERT_EQ(gCosHFT->objGetType(image), CosStream);
    EXPECT_EQ(gCosHFT->objGetDoc(image), other.GetCosDoc());
    ASSERT_TRUE(mElement.Write(0));
    EXPECT_TRUE(gCosHFT->objEqual(Lookup(enginetest::PageDict(other, 0), {"Resources", "XObject", "NxI1"}), image));
}

TEST_F(ImageElement, EveryAdditionIsRecordedAndUndone) {
    std::unique_ptr<CPDFElementUndoController> controller;
    if (!CPDFElementUndoController::GetUndoController()) controller = std::make_unique<CPDFElementUndoController>();
    const std::string in = mFolder.file("target.pdf");
    qmtest::writeSimplePdf(in, 2);
    auto target = enginetest::OpenDocument(in);
    ASSERT_TRUE(target->OpenView());
    const AVDoc view = target->GetAVDoc();
    mElement.SetDocument(target.get());
    mElement.SetRecordUndo(true);
    mElement.SetLineWidth(1);
    CPDFAction link;
    link.SetDocument(target->GetPDDoc());
    ASSERT_TRUE(link.MakeURIAction("https://example.org/undo"));
    mElement.SetAction(&link);
    Load();
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1) << "the image";
    ASSERT_TRUE(mElement.Write(0));
    ASSERT_TRUE(mElement.Write(1));
    // Both pages inherit one resource dictionary. The first page: its
    // "XObject" and "ExtGState" dictionaries made, the two entries, the
    // "Annots" array made, the link and two pieces; the second page uses the
    // first page's entries: array, link and two pieces.
    EXPECT_EQ(CPDFElementUndoController::CountElementUndoRecords(view), 1 + (2 + 2 + 2 + 2) + 4);
    EXPECT_TRUE(CPDFElementUndoController::UndoAllElements(view, nullptr, nullptr));
    const std::string undone = mFolder.file("undone.pdf");
    enginetest::SaveDocument(*target, undone);
    for (int page = 0; page < 2; ++page)
        EXPECT_EQ(enginetest::ReadPageState(undone, page), enginetest::ReadPageState(in, page)) << page;
    EXPECT_TRUE(target->Close());
}

}  // namespace
