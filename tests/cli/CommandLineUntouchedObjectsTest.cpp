// What a run leaves as it found it: the interactive form's default resources
// and the annotations' appearances when a page shares them, the input's
// objects after stamp, undo and save, and a linearized input's layout. Files
// are read back with qpdf (--json, --check-linearization), pdftotext and
// pdftoppm.
#include "CommandLineFixture.h"
#include "common/Netpbm.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <functional>
#include <set>
#include <utility>

namespace {

using clitest::CommandLineTest;

const char* const kMarkProfile = R"({"kNumberOfStamps": 1,
  "kStamp0": {"kStampNameE": "Mark", "kTextE": "Stamped $PageNo[1]", "kSizeE": 12, "kOpacityS": 100,
              "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1}})";

void Write(QPDF& pdf, const std::string& path) {
    QPDFWriter writer(pdf, path.c_str());
    writer.setStaticID(true);
    writer.write();
}

QPDFObjectHandle Parse(const char* text) { return QPDFObjectHandle::parse(text); }

// --- reading files back through `qpdf --json`

class Json {
public:
    explicit Json(const std::string& path) {
        const auto run = qmtest::runCommand("qpdf --json " + qmtest::shellQuote(path));
        EXPECT_EQ(run.status, 0) << run.output.substr(0, 300);
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(run.output)).object();
        mObjects = root.value("qpdf").toArray().at(1).toObject();
        for (const QJsonValue page : root.value("pages").toArray())
            mPages.push_back(Object(page.toObject().value("object")));
    }

    // The value with every reference replaced by what it names, except the
    // back references (/P, /Parent) that would lead round to the page.
    QJsonValue Resolved(const QJsonValue& value, int depth = 0) const {
        if (depth > 16) return "too deep";
        if (IsReference(value)) return Resolved(Object(value), depth + 1);
        if (value.isArray()) {
            QJsonArray out;
            for (const QJsonValue item : value.toArray()) out.append(Resolved(item, depth + 1));
            return out;
        }
        if (!value.isObject()) return value;
        QJsonObject out;
        const QJsonObject in = value.toObject();
        for (auto it = in.begin(); it != in.end(); ++it)
            out.insert(it.key(), it.key() == "/P" || it.key() == "/Parent" ? QJsonValue("back")
                                                                           : Resolved(it.value(), depth + 1));
        return out;
    }
    // The value at a path of keys from value (references followed).
    QJsonValue At(QJsonValue value, std::initializer_list<const char*> keys) const {
        for (const char* key : keys) {
            if (IsReference(value)) value = Object(value);
            value = value.toObject().value(key);
        }
        return IsReference(value) ? Object(value) : value;
    }
    // The value at a path of keys from the trailer, resolved.
    QJsonValue ResolvedAt(std::initializer_list<const char*> keys) const {
        return Resolved(At(mObjects.value("trailer").toObject().value("value"), keys));
    }
    const std::vector<QJsonValue>& Pages() const { return mPages; }
    // The page's own /Resources, else the nearest inherited one.
    QJsonValue EffectiveResources(const QJsonValue& page) const {
        QJsonValue node = page;
        for (int depth = 0; depth < 8 && node.isObject(); ++depth) {
            const QJsonValue resources = At(node, {"/Resources"});
            if (resources.isObject()) return resources;
            node = At(node, {"/Parent"});
        }
        return QJsonValue();
    }
    // The keys of a resource category of the page's effective resources.
    QStringList CategoryKeys(const QJsonValue& page, const char* category) const {
        return At(EffectiveResources(page), {category}).toObject().keys();
    }
    // A reference to the same object in the file ("4 0 R"), or "" for a direct value.
    static QString ReferenceText(const QJsonValue& holder, const char* key) {
        const QJsonValue value = holder.toObject().value(key);
        return IsReference(value) ? value.toString() : QString();
    }

private:
    static bool IsReference(const QJsonValue& value) {
        static const QRegularExpression reference("^\\d+ \\d+ R$");
        return value.isString() && reference.match(value.toString()).hasMatch();
    }
    // An object by reference; a stream gives its dictionary.
    QJsonValue Object(const QJsonValue& reference) const {
        const QJsonObject entry = mObjects.value("obj:" + reference.toString()).toObject();
        if (entry.contains("stream")) return entry.value("stream").toObject().value("dict");
        return entry.value("value");
    }

    QJsonObject mObjects;
    std::vector<QJsonValue> mPages;
};

std::string Text(const QJsonValue& value) {
    return QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact).toStdString();
}

class CommandLineUntouchedObjects : public CommandLineTest {
protected:
    void SetUp() override {
        ImportProfile("Mark", kMarkProfile);
        qmtest::writeSimplePdf(File("logo.pdf"), 1);
    }
    // A text stamp with a link (when linked) and the page of logo.pdf at 20 %.
    void ImportTextAndPageProfile(const std::string& name, bool linked) {
        const std::string link = linked ? ", \"kActionC\": \"" + ActionDocumentBase64() + "\"" : "";
        ImportProfile(name, R"({"kNumberOfStamps": 2,
          "kStamp0": {"kStampNameE": "Mark", "kTextE": "Stamped $PageNo[1]", "kSizeE": 12, "kOpacityS": 100,
                      "kOverlay": true, "kColorFontC": 0, "kHorizontalS": 1, "kVerticalS": 1)" + link + R"(},
          "kStamp1": {"kStampType": 2, "kStampNameE": "Logo", "kSelectFileE": ")" + File("logo.pdf") + R"(",
                      "kPageNoS": 1, "kSizeS": 20, "kOpacityS": 100, "kOverlay": true, "kHorizontalC": 1,
                      "kVerticalC": 1}})");
    }
    // A one-page document whose first bookmark carries a web link action.
    std::string ActionDocumentBase64() {
        QPDF pdf;
        pdf.emptyPDF();
        QPDFPageDocumentHelper(pdf).addPage(
            pdf.makeIndirectObject(Parse("<< /Type /Page /MediaBox [0 0 612 792] >>")), false);
        QPDFObjectHandle outlines = pdf.makeIndirectObject(Parse("<< /Type /Outlines >>"));
        QPDFObjectHandle item = pdf.makeIndirectObject(
            Parse("<< /Title (Link) /A << /S /URI /URI (https://example.org/q) >> >>"));
        item.replaceKey("/Parent", outlines);
        outlines.replaceKey("/First", item);
        outlines.replaceKey("/Last", item);
        pdf.getRoot().replaceKey("/Outlines", outlines);
        Write(pdf, File("action.pdf"));
        return QByteArray::fromStdString(qmtest::readBytes(File("action.pdf"))).toBase64().toStdString();
    }
};

// --- the form's resources and the appearances

// How the pages of the form document share what the form and its widget use.
enum class Sharing {
    PagesAreTheFormsResources,    // every page's /Resources is /AcroForm /DR
    PagesFontsAreTheFormsFonts,   // each page's own /Resources, whose /Font is /DR's /Font
    PagesAreTheWidgetsResources,  // every page's /Resources is the widget appearance's
    TreeHoldsTheFormsResources,   // pages inherit /DR from the page tree
    PagesFontsAreANestedFormsFonts,  // each page's /Font is that of a form the appearance draws
};

// Two pages ("page 1", "page 2" in Helvetica as /Helv) and a filled-in text
// field on page 1: its appearance is a black box at (100, 600)-(300, 640).
void WriteFormDocument(const std::string& path, Sharing sharing) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(
        Parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>"));
    QPDFObjectHandle fonts = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    fonts.replaceKey("/Helv", font);
    QPDFObjectHandle shared = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    shared.replaceKey("/Font", fonts);
    // A second font dictionary, reached by no resources but the nested form's.
    QPDFObjectHandle formFonts = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
    formFonts.replaceKey("/Helv", font);
    auto ownResources = [&](QPDFObjectHandle fontDict) {
        QPDFObjectHandle own = QPDFObjectHandle::newDictionary();
        own.replaceKey("/Font", fontDict);
        return own;
    };

    auto newForm = [&](const std::string& content) {
        QPDFObjectHandle stream = pdf.newStream(content);
        stream.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/XObject"));
        stream.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/Form"));
        stream.getDict().replaceKey("/BBox", Parse("[0 0 200 40]"));
        return stream;
    };
    const std::string box = "q 0 0 0 rg 0 0 200 40 re f Q ";
    const std::string filledIn = "BT /Helv 18 Tf 1 1 1 rg 8 12 Td (Filled in) Tj ET";
    QPDFObjectHandle appearance;
    if (sharing == Sharing::PagesFontsAreANestedFormsFonts) {
        // The appearance draws the box and a form of its own that draws the text.
        QPDFObjectHandle text = newForm(filledIn);
        text.getDict().replaceKey("/Resources", ownResources(formFonts));
        appearance = newForm(box + "/Fm0 Do");
        appearance.getDict().replaceKey("/Resources", Parse("<< /XObject << >> >>"));
        appearance.getDict().getKey("/Resources").getKey("/XObject").replaceKey("/Fm0", text);
    } else {
        appearance = newForm(box + filledIn);
        appearance.getDict().replaceKey(
            "/Resources", sharing == Sharing::PagesAreTheWidgetsResources ? shared : ownResources(fonts));
    }
    QPDFObjectHandle widget = pdf.makeIndirectObject(
        Parse("<< /Type /Annot /Subtype /Widget /FT /Tx /T (name) /V (Filled in) /F 4 "
              "/Rect [100 600 300 640] /DA (/Helv 18 Tf 0 g) >>"));
    widget.replaceKey("/AP", QPDFObjectHandle::newDictionary());
    widget.getKey("/AP").replaceKey("/N", appearance);
    QPDFObjectHandle form = pdf.makeIndirectObject(Parse("<< /DA (/Helv 0 Tf 0 g) >>"));
    form.replaceKey("/Fields", QPDFObjectHandle::newArray({widget}));
    const bool drIsShared =
        sharing == Sharing::PagesAreTheFormsResources || sharing == Sharing::TreeHoldsTheFormsResources;
    form.replaceKey("/DR", drIsShared ? shared : ownResources(fonts));
    pdf.getRoot().replaceKey("/AcroForm", form);

    for (int n = 1; n <= 2; ++n) {
        QPDFObjectHandle page = pdf.makeIndirectObject(Parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
        page.replaceKey("/Contents",
                        pdf.newStream("BT /Helv 24 Tf 72 700 Td (page " + std::to_string(n) + ") Tj ET"));
        if (sharing == Sharing::PagesFontsAreTheFormsFonts)
            page.replaceKey("/Resources", ownResources(fonts));
        else if (sharing == Sharing::PagesFontsAreANestedFormsFonts)
            page.replaceKey("/Resources", ownResources(formFonts));
        else if (sharing != Sharing::TreeHoldsTheFormsResources)
            page.replaceKey("/Resources", shared);
        QPDFPageDocumentHelper(pdf).addPage(page, false);
    }
    if (sharing == Sharing::TreeHoldsTheFormsResources) pdf.getRoot().getKey("/Pages").replaceKey("/Resources", shared);
    QPDFObjectHandle page1 = QPDFPageDocumentHelper(pdf).getAllPages().at(0).getObjectHandle();
    widget.replaceKey("/P", page1);
    page1.replaceKey("/Annots", QPDFObjectHandle::newArray({widget}));
    Write(pdf, path);
}

TEST_F(CommandLineUntouchedObjects, TheFormsResourcesAndTheAppearancesKeepTheirEntries) {
    ImportTextAndPageProfile("Marks", false);
    const struct {
        const char* name;
        Sharing sharing;
    } rows[] = {
        {"pages are the form's resources", Sharing::PagesAreTheFormsResources},
        {"pages' fonts are the form's fonts", Sharing::PagesFontsAreTheFormsFonts},
        {"pages are the widget appearance's resources", Sharing::PagesAreTheWidgetsResources},
        {"the page tree holds the form's resources", Sharing::TreeHoldsTheFormsResources},
        {"pages' fonts are those of a form the appearance draws", Sharing::PagesFontsAreANestedFormsFonts},
    };
    for (const auto& row : rows) {
        const std::string in = File(std::string(row.name) + ".pdf");
        const std::string out = File(std::string(row.name) + " stamped.pdf");
        WriteFormDocument(in, row.sharing);
        const auto run = Cli("stamp --profile Marks " + Q(in) + " -o " + Q(out));
        ASSERT_EQ(run.status, 0) << row.name << ": " << run.output;
        EXPECT_EQ(qmtest::qpdfCheck(out).status, 0) << row.name;

        // The form's resources, and its fields with their appearances.
        const Json before(in), after(out);
        for (const char* key : {"/DR", "/Fields"})
            EXPECT_EQ(Text(after.ResolvedAt({"/Root", "/AcroForm", key})),
                      Text(before.ResolvedAt({"/Root", "/AcroForm", key})))
                << row.name << " " << key;
        ASSERT_EQ(after.Pages().size(), 2u) << row.name;
        for (size_t p = 0; p < 2; ++p) {
            const QJsonValue page = after.Pages()[p];
            const QString fonts = after.CategoryKeys(page, "/Font").join(" ");
            EXPECT_TRUE(fonts.contains("/Helv") && fonts.contains("/NxF")) << row.name << ": " << fonts.toStdString();
            // One graphics state per stamp.
            EXPECT_EQ(after.CategoryKeys(page, "/ExtGState").filter("/NxGS").size(), 2) << row.name;
            EXPECT_EQ(after.CategoryKeys(page, "/XObject").filter("/NxX").size(), 1) << row.name;
            const int number = static_cast<int>(p) + 1;
            EXPECT_NE(PageText(out, number).find("Stamped " + std::to_string(number)), std::string::npos) << row.name;
            EXPECT_NE(PageText(out, number).find("page " + std::to_string(number)), std::string::npos) << row.name;
        }
        if (row.sharing == Sharing::TreeHoldsTheFormsResources) {
            // The pages still inherit one dictionary: neither got one of its own.
            for (const QJsonValue& page : after.Pages())
                EXPECT_FALSE(page.toObject().contains("/Resources")) << row.name;
        } else if (row.sharing != Sharing::PagesFontsAreTheFormsFonts &&
                   row.sharing != Sharing::PagesFontsAreANestedFormsFonts) {
            // The pages that shared one dictionary share its one copy.
            EXPECT_FALSE(Json::ReferenceText(after.Pages()[0], "/Resources").isEmpty()) << row.name;
            EXPECT_EQ(Json::ReferenceText(after.Pages()[0], "/Resources"),
                      Json::ReferenceText(after.Pages()[1], "/Resources"))
                << row.name;
        }
        // The field is still drawn (pdftoppm's gray page 1 at 72 dpi, points from the
        // top-left): the middle of its black box, near its bottom edge.
        const auto drawn = qmtest::drawPage(out, File("probe"), 72, true);
        EXPECT_LT(drawn.sample(200, 790 - 600 - 5), 60) << row.name;
        EXPECT_GT(drawn.sample(400, 790 - 600 - 5), 200) << row.name << ": beside the box";
    }
}

// --- stamp, undo, save

// Four pages: none, a /ProcSet only, a font; a note on the second page; the
// fourth inherits the page tree's resources.
void WriteVariedDocument(const std::string& path) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle font = pdf.makeIndirectObject(Parse("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"));
    const char* const resources[] = {nullptr, "<< /ProcSet [/PDF /Text] >>", "<< >>", nullptr};
    for (int n = 1; n <= 4; ++n) {
        QPDFObjectHandle page = pdf.makeIndirectObject(Parse("<< /Type /Page /MediaBox [0 0 612 792] >>"));
        page.replaceKey("/Contents", pdf.newStream("0.5 g 72 72 100 100 re f"));
        if (const char* text = resources[n - 1]) page.replaceKey("/Resources", Parse(text));
        if (n == 3) page.getKey("/Resources").replaceKey("/Font", QPDFObjectHandle::newDictionary({{"/F1", font}}));
        QPDFPageDocumentHelper(pdf).addPage(page, false);
    }
    QPDFObjectHandle pages = pdf.getRoot().getKey("/Pages");
    pages.replaceKey("/Resources", Parse("<< /ProcSet [/PDF] >>"));
    QPDFObjectHandle page2 = QPDFPageDocumentHelper(pdf).getAllPages().at(1).getObjectHandle();
    QPDFObjectHandle note = pdf.makeIndirectObject(
        Parse("<< /Type /Annot /Subtype /Text /Rect [300 300 320 320] /Contents (note) >>"));
    page2.replaceKey("/Annots", QPDFObjectHandle::newArray({note}));
    Write(pdf, path);
}

// Each page's own /Resources and /Annots and the page tree's /Resources, resolved.
std::vector<std::string> PagesResourcesAndAnnots(const std::string& path) {
    const Json json(path);
    std::vector<std::string> state;
    for (const QJsonValue& page : json.Pages()) {
        const QJsonObject dict = page.toObject();
        state.push_back(Text(json.Resolved(dict.value("/Resources"))) + " " +
                        Text(json.Resolved(dict.value("/Annots"))));
    }
    state.push_back(Text(json.ResolvedAt({"/Root", "/Pages", "/Resources"})));
    return state;
}

TEST_F(CommandLineUntouchedObjects, StampUndoAndSaveGiveTheInputsResourcesAndAnnotationsBack) {
    ImportTextAndPageProfile("Linked", true);
    WriteVariedDocument(File("varied.pdf"));
    WriteFormDocument(File("form.pdf"), Sharing::TreeHoldsTheFormsResources);
    for (const char* input : {"varied.pdf", "form.pdf"}) {
        const std::string in = File(input);
        const std::string stamped = File(std::string("stamped-") + input);
        const std::string undone = File(std::string("undone-") + input);
        const auto run = Session("open " + in + "\nstamp Linked\nsave " + stamped + "\nclose\nopen " + in +
                                 "\nstamp Linked\nundo\nsave " + undone + "\nquit\n");
        ASSERT_EQ(run.output, "ok\nok\nok\nok\nok\nok\nok\nok\nok\n") << input;

        const auto original = PagesResourcesAndAnnots(in);
        const auto withStamps = PagesResourcesAndAnnots(stamped);
        const auto afterUndo = PagesResourcesAndAnnots(undone);
        ASSERT_EQ(withStamps.size(), original.size()) << input;
        for (size_t p = 0; p + 1 < original.size(); ++p) {
            // Every page gains something that undo must take back: a link at least.
            EXPECT_NE(withStamps[p], original[p]) << input << " page " << p + 1;
            EXPECT_NE(withStamps[p].find("/Link"), std::string::npos) << input << " page " << p + 1;
        }
        EXPECT_EQ(afterUndo, original) << input;
        EXPECT_EQ(PageText(undone, 1).find("Stamped"), std::string::npos) << input;
        EXPECT_EQ(qmtest::qpdfCheck(undone).status, 0) << input;
    }
}

// --- one dictionary for every page

// count pages of 300 x 150 points, each drawing "p" in /F1 from the
// resources that every page inherits from the page tree.
void WriteLongInheritingDocument(const std::string& path, int count) {
    QPDF pdf;
    pdf.emptyPDF();
    QPDFObjectHandle pages = pdf.getRoot().getKey("/Pages");
    pages.replaceKey("/Resources", Parse("<< /Font << /F1 << /Type /Font /Subtype /Type1 /BaseFont /Helvetica >> >> >>"));
    pages.replaceKey("/MediaBox", Parse("[0 0 300 150]"));
    QPDFObjectHandle content = pdf.newStream("BT /F1 9 Tf 5 5 Td (p) Tj ET");
    QPDFObjectHandle kids = QPDFObjectHandle::newArray();
    for (int n = 0; n < count; ++n) {
        QPDFObjectHandle page = pdf.makeIndirectObject(Parse("<< /Type /Page >>"));
        page.replaceKey("/Parent", pages);
        page.replaceKey("/Contents", content);
        kids.appendItem(page);
    }
    pages.replaceKey("/Kids", kids);
    pages.replaceKey("/Count", QPDFObjectHandle::newInteger(count));
    Write(pdf, path);
}

TEST_F(CommandLineUntouchedObjects, ADictionaryThatEveryPageInheritsTakesEachStampsEntriesOnce) {
    // More pages than there are names for one prefix in one dictionary.
    constexpr int kPages = 10050;
    WriteLongInheritingDocument(File("long.pdf"), kPages);
    const auto run = Cli("stamp --profile Mark " + Q(File("long.pdf")) + " -o " + Q(File("long-stamped.pdf")));
    ASSERT_EQ(run.status, 0) << run.output;
    for (const int page : {1, 10001, kPages})
        EXPECT_NE(PageText(File("long-stamped.pdf"), page).find("Stamped " + std::to_string(page)),
                  std::string::npos)
            << "page " << page;
    QPDF pdf;
    pdf.processFile(File("long-stamped.pdf").c_str());
    QPDFObjectHandle pages = pdf.getRoot().getKey("/Pages");
    EXPECT_EQ(pages.getKey("/Resources").getKey("/Font").getKeys(), (std::set<std::string>{"/F1", "/NxF0"}));
    EXPECT_EQ(pages.getKey("/Resources").getKey("/ExtGState").getKeys(), (std::set<std::string>{"/NxGS0"}));
    // The pages still inherit it.
    auto all = QPDFPageDocumentHelper(pdf).getAllPages();
    ASSERT_EQ(all.size(), static_cast<size_t>(kPages));
    EXPECT_FALSE(all.back().getObjectHandle().hasKey("/Resources"));
}

// --- linearized input

TEST_F(CommandLineUntouchedObjects, ALinearizedInputIsSavedLinearizedAndAPlainOneStaysPlain) {
    qmtest::writeSimplePdf(File("plain.pdf"), 4);
    const auto made = qmtest::runCommand("qpdf --linearize " + Q(File("plain.pdf")) + " " + Q(File("linear.pdf")));
    ASSERT_EQ(made.status, 0) << made.output;
    for (const auto& [input, linearized] : {std::pair{"linear.pdf", true}, std::pair{"plain.pdf", false}}) {
        const std::string out = File(std::string("stamped-") + input);
        const auto run = Cli("stamp --profile Mark " + Q(File(input)) + " -o " + Q(out));
        ASSERT_EQ(run.status, 0) << input << ": " << run.output;
        EXPECT_NE(PageText(out, 4).find("Stamped 4"), std::string::npos) << input;
        const auto check = qmtest::runCommand("qpdf --check-linearization " + Q(out));
        EXPECT_EQ(check.status, 0) << input << ": " << check.output;
        const bool isLinear = check.output.find("no linearization errors") != std::string::npos;
        const bool isPlain = check.output.find("is not linearized") != std::string::npos;
        EXPECT_EQ(isLinear, linearized) << input << ": " << check.output;
        EXPECT_EQ(isPlain, !linearized) << input << ": " << check.output;
    }
}

}  // namespace
