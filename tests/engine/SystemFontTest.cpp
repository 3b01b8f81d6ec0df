// System fonts: counting and naming the host's installed fonts, making an
// element's font from one, embedded or not, and what such a font gives in
// real files (pdffonts, pdftotext), including a Chinese text.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "common/FaultInjectingHost.h"
#include "engine/SystemFonts.h"
#include "qmhost/HostError.h"
#include "support/HostTables.h"

namespace {

// --- a host table of three fonts, to pin the enumeration rules

const char* const kThreeNames[] = {"Alpha", "Beta Bold", "Gamma"};

bool EnumThree(PDSysFontEnumProc proc, void* clientData) {
    for (uintptr_t i = 1; i <= 3; ++i)
        if (!proc(reinterpret_cast<PDSysFont>(i), clientData)) return false;
    return true;
}
ASAtom NameOfThree(PDSysFont font) {
    return gCoreHFT->atomFromString(kThreeNames[reinterpret_cast<uintptr_t>(font) - 1]);
}

// The host's font list cannot be had: every enumeration and search raises.
void BreakFontList(qmtest::FaultInjectingHost& host) {
    host.FailEveryCall<&PDSysFontTable::enumFonts>().FailEveryCall<&PDSysFontTable::findFont>();
}

TEST(SystemFonts, ThreeFontsAreCountedAndNamedInTheHostsOrder) {
    enginetest::StartEngine();
    qmtest::FaultInjectingHost host;
    host.Replace<&PDSysFontTable::enumFonts>(&EnumThree).Replace<&PDSysFontTable::getName>(&NameOfThree);
    EXPECT_EQ(CountSystemFonts(), 3);
    EXPECT_EQ(GetSystemFontName(0), "Alpha");
    EXPECT_EQ(GetSystemFontName(1), "Beta Bold");
    EXPECT_EQ(GetSystemFontName(2), "Gamma");
    EXPECT_EQ(GetSystemFontName(3), "");
    EXPECT_EQ(GetSystemFontName(-2), "Alpha") << "a negative position gives the first font";
}

TEST(SystemFonts, HostErrorsGiveNoFontsAndNoName) {
    enginetest::StartEngine();
    qmtest::FaultInjectingHost host;
    BreakFontList(host);
    EXPECT_EQ(CountSystemFonts(), 0);
    EXPECT_EQ(GetSystemFontName(0), "");
}

TEST(SystemFonts, InstalledFontsIncludeTheTestFonts) {
    enginetest::StartEngine();
    const int32_t count = CountSystemFonts();
    ASSERT_GT(count, 1);
    std::vector<std::string> names;
    for (int32_t i = 0; i < count; ++i) names.push_back(GetSystemFontName(i));
    EXPECT_EQ(GetSystemFontName(count), "");
    for (const char* wanted : {"DejaVu Sans", "WenQuanYi Micro Hei"})
        EXPECT_NE(std::find(names.begin(), names.end(), wanted), names.end()) << wanted;
}

// --- making an element's font

// Records the flags of every system font made, then makes it with the host.
const PDFEditWriteTable* gRealEditWrite = nullptr;
std::vector<uint32_t> gFlagsSeen;
PDEFont RecordingCreate(PDSysFont font, uint32_t flags) {
    gFlagsSeen.push_back(flags);
    return gRealEditWrite->fontCreateFromSysFont(font, flags);
}


class SystemFontElement : public testing::Test {
protected:
    void SetUp() override {
        enginetest::StartEngine();
        ASSERT_TRUE(mDoc.CreateNew());
        // Made after the start: its default font comes from the host.
        mMade = std::make_unique<CPDFTextElement>();
        mMade->SetDocument(&mDoc);
    }
    CPDFTextElement& Element() { return *mMade; }
    CPDFDocument mDoc;
    std::unique_ptr<CPDFTextElement> mMade;
};

TEST_F(SystemFontElement, NeedsADocument) {
    CPDFTextElement loose;
    EXPECT_FALSE(loose.SetSystemFont("DejaVu Sans", true));
}

TEST_F(SystemFontElement, NameThatIsNotInstalledKeepsTheFontAndSucceeds) {
    const PDEFont before = Element().GetFont();
    ASSERT_NE(before, nullptr) << "the default font";
    EXPECT_TRUE(Element().SetSystemFont("No Such Font 12345", true));
    EXPECT_EQ(Element().GetFont(), before);
}

TEST_F(SystemFontElement, EmbedFlagChoosesTheCreationFlag) {
    qmtest::FaultInjectingHost host;
    gRealEditWrite = &host.Real<PDFEditWriteTable>();
    host.Replace<&PDFEditWriteTable::fontCreateFromSysFont>(&RecordingCreate);
    gFlagsSeen.clear();
    const bool embedded = Element().SetSystemFont("DejaVu Sans", true);
    const bool plain = Element().SetSystemFont("DejaVu Sans", false);
    EXPECT_TRUE(embedded);
    EXPECT_TRUE(plain);
    EXPECT_EQ(gFlagsSeen, (std::vector<uint32_t>{kPDEFontCreateEmbedded, kPDEFontCreateNotEmbedded}));
}

TEST_F(SystemFontElement, HostErrorAnswersFalseAndKeepsTheFont) {
    const PDEFont before = Element().GetFont();
    {
        qmtest::FaultInjectingHost host;
        BreakFontList(host);
        EXPECT_FALSE(Element().SetSystemFont("DejaVu Sans", true));
        EXPECT_EQ(Element().GetFont(), before);
    }
    // A font that is found but cannot be made: the element keeps a usable font.
    bool made = true;
    {
        qmtest::FaultInjectingHost host;
        host.FailEveryCall<&PDFEditWriteTable::fontCreateFromSysFont>();
        made = Element().SetSystemFont("DejaVu Sans", true);
    }
    EXPECT_FALSE(made);
    EXPECT_EQ(Element().GetFont(), before);
    CPDFPlacement placement;
    placement.SetScale(12, 12);
    Element().SetPlacement(&placement);
    Element().SetText("still writes");
    EXPECT_TRUE(Element().Write(0)) << Element().GetErrorText();
}

TEST_F(SystemFontElement, CompositeFontWritesTwoByteCodesAsHex) {
    // An embedded system font is a composite one.
    ASSERT_TRUE(Element().SetSystemFont("DejaVu Sans", true));
    EXPECT_EQ(Element().BytesPerCode(), 2);
    EXPECT_EQ(Element().EncodeText("Ab").size(), 4u);
    CPDFPlacement placement;
    placement.SetScale(12, 12);
    Element().SetPlacement(&placement);
    Element().SetOpacity(1);
    Element().SetText("A(b)");
    ASSERT_TRUE(Element().Write(0));
    const auto pieces = enginetest::ContentPieces(mDoc, 0);
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_NE(pieces[0].find("Td <"), std::string::npos) << pieces[0];
    EXPECT_EQ(pieces[0].find("(A"), std::string::npos) << pieces[0];
}

// --- in files

class SystemFontFile : public testing::Test {
protected:
    void SetUp() override { enginetest::StartEngine(); }
    // Stamps text in the system font on a one-page document; answers the output path.
    std::string Stamp(const char* font, bool embed, const std::string& text, const char* name) {
        const std::string in = mFolder.file(std::string(name) + "-in.pdf");
        qmtest::writeSimplePdf(in, 1);
        auto doc = enginetest::OpenDocument(in);
        auto stamp = enginetest::MakeTextStamp(*doc, text, 24);
        EXPECT_TRUE(stamp->element.SetSystemFont(font, embed));
        stamp->placement.SetAlignment(CPDFPlacement::kAlignLeft, 0);
        stamp->placement.SetOffset(72, 144);
        EXPECT_TRUE(doc->WrapAllPageContents());
        EXPECT_TRUE(stamp->element.Write(0)) << stamp->element.GetErrorText();
        const std::string out = mFolder.file(std::string(name) + ".pdf");
        enginetest::SaveDocument(*doc, out);
        EXPECT_EQ(qmtest::qpdfCheck(out).status, 0) << qmtest::qpdfCheck(out).output;
        return out;
    }
    static const enginetest::FontRow* FindFont(const std::vector<enginetest::FontRow>& rows,
                                                const std::string& part) {
        for (const auto& row : rows)
            if (row.name.find(part) != std::string::npos) return &row;
        return nullptr;
    }
    qmtest::FixtureFolder mFolder;
};

TEST_F(SystemFontFile, EmbeddedOrNotAsAsked) {
    const auto embedded = enginetest::Fonts(Stamp("DejaVu Sans", true, "Embedded text", "embedded"));
    const auto* row = FindFont(embedded, "DejaVuSans");
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->embedded);
    const auto plain = enginetest::Fonts(Stamp("DejaVu Sans", false, "Plain text", "plain"));
    row = FindFont(plain, "DejaVuSans");
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->embedded);
}

TEST_F(SystemFontFile, StandardFontIsNotEmbedded) {
    const std::string in = mFolder.file("std-in.pdf");
    qmtest::writeSimplePdf(in, 1);
    auto doc = enginetest::OpenDocument(in);
    auto stamp = enginetest::MakeTextStamp(*doc, "Standard", 24, "Courier-Bold");
    ASSERT_TRUE(stamp->element.Write(0));
    const std::string out = mFolder.file("std.pdf");
    enginetest::SaveDocument(*doc, out);
    const auto fonts = enginetest::Fonts(out);
    const auto* row = FindFont(fonts, "Courier-Bold");
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->embedded);
    EXPECT_EQ(row->type, "Type 1");
}

TEST_F(SystemFontFile, ChineseTextComesBackAsTheSameText) {
    const std::string text = "印章文本 测试";
    const std::string out = Stamp("WenQuanYi Micro Hei", true, text, "chinese");
    const std::string read = enginetest::PageText(out, 1);
    EXPECT_NE(read.find(text), std::string::npos) << read;
    const auto fonts = enginetest::Fonts(out);
    const auto* row = FindFont(fonts, "WenQuanYi");
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->embedded);
}

TEST_F(SystemFontFile, FiveHundredPagesEmbedTheFontProgramOnce) {
    const std::string in = mFolder.file("many-in.pdf");
    qmtest::writeSimplePdf(in, 500);
    auto run = [&](int pages, const std::string& name) {
        auto doc = enginetest::OpenDocument(in);
        EXPECT_TRUE(doc->WrapAllPageContents());
        auto stamp = enginetest::MakeTextStamp(*doc, "Page stamp", 18);
        EXPECT_TRUE(stamp->element.SetSystemFont("DejaVu Sans", true));
        for (int page = 0; page < pages; ++page) EXPECT_TRUE(stamp->element.Write(page));
        const std::string out = mFolder.file(name);
        enginetest::SaveDocument(*doc, out);
        return out;
    };
    auto size = [](const std::string& path) {
        struct stat info {};
        ::stat(path.c_str(), &info);
        return static_cast<long>(info.st_size);
    };
    const std::string none = run(0, "none.pdf");
    const std::string one = run(1, "one.pdf");
    const std::string all = run(500, "all.pdf");
    EXPECT_EQ(qmtest::qpdfCheck(all).status, 0);
    EXPECT_EQ(enginetest::CountStreamsWithKey(all, "/Length1"), 1) << "one embedded font program";
    const long fontCost = size(one) - size(none);
    const long perPage = (size(all) - size(one)) / 499;
    EXPECT_GT(fontCost, 2000) << "the first page carries the font program";
    EXPECT_LT(fontCost, 20000) << "a subset of the program, not the whole 700 KB";
    EXPECT_LT(perPage, 600) << "each further page adds a few hundred bytes";
    // The pages inherit one resource dictionary, whose font and graphics
    // state entries they share, and one piece: a page adds its references.
    EXPECT_GT(perPage, 0);
}

}  // namespace
