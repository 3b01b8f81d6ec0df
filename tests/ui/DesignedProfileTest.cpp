// A profile designed through the dialogs stamps what the same profile written
// as JSON and imported by the command-line host stamps: the same page content
// streams, the same placed forms and images, byte for byte, and the same link.
#include <QByteArray>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QDoubleSpinBox>
#include <map>

#include "DesignDialogFixture.h"
#include "common/ImageFixtures.h"
#include "common/PdfFixtures.h"
#include "qmhost/ASExtraTable.h"
#include "stamper/CCabinet.h"
#include "stamper/StampKeys.h"
#include "support/HostTables.h"
#include "support/HostVersion.h"

namespace uitest {
namespace {

// The objects of a PDF as qpdf gives them in JSON, streams decoded.
class PdfObjects {
public:
    explicit PdfObjects(const std::string& inPath) {
        const qmtest::CommandResult run = qmtest::runCommand(
            "qpdf --json=2 --json-key=qpdf --json-key=pages --json-stream-data=inline --decode-level=generalized " +
            qmtest::shellQuote(inPath) + " 2>/dev/null");
        EXPECT_EQ(run.status, 0) << run.output;
        const QJsonObject root = QJsonDocument::fromJson(QByteArray::fromStdString(run.output)).object();
        mObjects = root["qpdf"].toArray()[1].toObject();
        mPages = root["pages"].toArray();
    }
    QJsonValue Value(const QString& inRef) const { return mObjects["obj:" + inRef].toObject()["value"]; }
    QJsonObject Stream(const QString& inRef) const { return mObjects["obj:" + inRef].toObject()["stream"].toObject(); }
    // What a page shows: its content streams in order, then each XObject it
    // names (its data and, for forms, the XObjects they name), then each
    // link's rectangle and destination.
    std::vector<std::string> PageParts(int inPage) const {
        std::vector<std::string> parts;
        const QJsonObject page = mPages[inPage].toObject();
        for (const QJsonValue& ref : page["contents"].toArray())
            parts.push_back("content " + Data(ref.toString()));
        const QJsonObject dict = Value(page["object"].toString()).toObject();
        AddXObjects(EffectiveResources(dict), parts, 0);
        for (const QJsonValue& annot : Resolve(dict["/Annots"]).toArray()) {
            const QJsonObject link = Resolve(annot).toObject();
            const QJsonObject action = Resolve(link["/A"]).toObject();
            parts.push_back("link " + Text(link["/Rect"]) + " " + Text(action["/S"]) + " " + Text(action["/D"]));
        }
        return parts;
    }
    int PageCount() const { return static_cast<int>(mPages.size()); }

private:
    // The page's own resources, else the nearest ones it inherits through /Parent.
    QJsonObject EffectiveResources(QJsonObject inNode) const {
        for (int depth = 0; depth < 8 && !inNode.isEmpty(); ++depth) {
            if (inNode.contains("/Resources")) return Resolve(inNode["/Resources"]).toObject();
            inNode = Resolve(inNode["/Parent"]).toObject();
        }
        return {};
    }
    QJsonValue Resolve(const QJsonValue& inValue) const {
        if (inValue.isString() && inValue.toString().endsWith(" R")) return Value(inValue.toString());
        return inValue;
    }
    std::string Data(const QString& inRef) const {
        return QByteArray::fromBase64(Stream(inRef)["data"].toString().toLatin1()).toStdString();
    }
    std::string Text(const QJsonValue& inValue) const {
        return QJsonDocument(QJsonArray{Resolve(inValue)}).toJson(QJsonDocument::Compact).toStdString();
    }
    void AddXObjects(const QJsonObject& inResources, std::vector<std::string>& ioParts, int inDepth) const {
        if (inDepth > 3) return;
        const QJsonObject xobjects = Resolve(inResources["/XObject"]).toObject();
        for (auto it = xobjects.begin(); it != xobjects.end(); ++it) {
            const QString ref = it.value().toString();
            const QJsonObject dict = Stream(ref)["dict"].toObject();
            ioParts.push_back("xobject " + it.key().toStdString() + " " + Text(dict["/Subtype"]) + " " +
                              Text(dict["/BBox"]) + " " + Text(dict["/Matrix"]) + " " + Data(ref));
            AddXObjects(Resolve(dict["/Resources"]).toObject(), ioParts, inDepth + 1);
        }
    }

    QJsonObject mObjects;
    QJsonArray mPages;
};

// A PDF whose first bookmark carries a go-to to the first page, as a profile
// written by hand carries a stamp's link.
std::string LinkDocumentBase64(const std::string& inFolder) {
    const std::string raw = inFolder + "/link-raw.pdf";
    const std::string fixed = inFolder + "/link.pdf";
    qmtest::writeBytes(raw,
                       "%PDF-1.4\n"
                       "1 0 obj << /Type /Catalog /Pages 2 0 R /Outlines 4 0 R >> endobj\n"
                       "2 0 obj << /Type /Pages /Kids [3 0 R] /Count 1 >> endobj\n"
                       "3 0 obj << /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >> endobj\n"
                       "4 0 obj << /Type /Outlines /First 5 0 R /Last 5 0 R /Count 1 >> endobj\n"
                       "5 0 obj << /Title (ActionBookmark) /Parent 4 0 R /A 6 0 R >> endobj\n"
                       "6 0 obj << /Type /Action /S /GoTo /D [0 /XYZ null null null] >> endobj\n"
                       "trailer << /Root 1 0 R >>\n%%EOF\n");
    const qmtest::CommandResult run = qmtest::runCommand("qpdf " + qmtest::shellQuote(raw) + " " +
                                                         qmtest::shellQuote(fixed) + " 2>&1");
    EXPECT_TRUE(run.status == 0 || run.status == 3) << run.output;
    return QByteArray::fromStdString(qmtest::readBytes(fixed)).toBase64().toStdString();
}

class DesignedProfile : public DesignDialogTest {
protected:
    std::string File(const char* inName) const { return mFolder + "/" + inName; }
    std::string Cli(const std::string& inArgs) const {
        const qmtest::CommandResult run = qmtest::runCommand(qmtest::shellQuote(QM_TEST_CLI_PATH) + " --plugin-dir " +
                                                             qmtest::shellQuote(File("plugins")) + " " + inArgs +
                                                             " 2>&1");
        EXPECT_EQ(run.status, 0) << inArgs << "\n" << run.output;
        return run.output;
    }
    void Confirm(CStamp& inStamp) {
        Press("1");
        ASSERT_EQ(mDone, std::optional<bool>(true)) << inStamp.GetName();
        EXPECT_TRUE(Alerts().empty());
    }
    void Set(const char* inId, double inValue) {
        if (auto* whole = mDialog->findChild<QSpinBox*>(inId))
            whole->setValue(static_cast<int>(inValue));
        else
            Control<QDoubleSpinBox>(inId)->setValue(inValue);
    }
};

TEST_F(DesignedProfile, StampsTheSameAsItsJSON) {
    qmtest::writeSimplePdf(File("in.pdf"), 3);
    qmtest::writeSimplePdf(File("source.pdf"), 2);
    imagetest::WriteJpeg(File("logo.jpg"), imagetest::JpegColor::RGB, 16, 8);

    // Designed: a Bates number with a link to the first page, an image, a page of a PDF.
    auto text = NewStamp(kStampTypeText);
    ASSERT_TRUE(Open(*text));
    Control<QLineEdit>("1014")->setText(QStringLiteral("Bates"));
    auto* edit = Control<QPlainTextEdit>("1069");
    edit->setPlainText(QStringLiteral("No. "));
    edit->moveCursor(QTextCursor::End);
    Choose("1072", 5);
    Control<QAbstractButton>("1073")->click();
    Choose("1080", 4);  // Helvetica
    Set("1078", 10);
    Set("1019", 1.0);
    Set("1023", 0.5);
    Choose("1027", 1);  // from the bottom
    Set("1024", 90);
    AnswerNextModal([](QWidget* inModal) { static_cast<QDialog*>(inModal)->accept(); });
    Choose("1038", 1);  // a go-to, page 1
    Confirm(*text);

    auto image = NewStamp(kStampTypeImage);
    ASSERT_TRUE(Open(*image));
    Control<QLineEdit>("1014")->setText(QStringLiteral("Logo"));
    Control<QLineEdit>("1015")->setText(QString::fromStdString(File("logo.jpg")));
    Set("1016", 50);
    Set("1019", 2.0);
    Set("1023", 2.0);
    Confirm(*image);

    auto page = NewStamp(kStampTypePDFPage);
    ASSERT_TRUE(Open(*page));
    Control<QLineEdit>("1014")->setText(QStringLiteral("Page"));
    mSeam->files.push_back(QString::fromStdString(File("source.pdf")));
    Control<QAbstractButton>("1050")->click();
    Set("1017", 2);
    Set("1016", 30);
    Choose("1026", 1);  // from the right
    Set("1019", 0.5);
    Choose("1027", 2);  // the middle
    Set("1025", 50);
    Confirm(*page);

    // The designed profile goes into the plug-ins folder as the stamp manager keeps it.
    Cli("profile list");
    {
        CCabinet profile;
        gASExtraHFT->cabPutInt(profile.GetCab(), kKeyNumberOfStamps, 3);
        int index = 0;
        for (CStamp* stamp : {text.get(), image.get(), page.get()})
            gASExtraHFT->cabPutCab(profile.GetCab(), ("kStamp" + std::to_string(index++)).c_str(),
                                   gASExtraHFT->cabDup(stamp->GetCab()));
        qmtest::runCommand("mkdir -p " + qmtest::shellQuote(File("plugins/Profiles")));
        ASSERT_TRUE(profile.WriteToFile(TFileSpecifier(File("plugins/Profiles/Designed.nxp").c_str())));
    }

    // The same profile written by hand.
    const std::string json = R"({"kNumberOfStamps": 3,
      "kStamp0": {"kStampType": 0, "kStampNameE": "Bates", "kTextE": "No. $BatesNo[1]", "kSizeE": 10,
                  "kStyleStandardC": 4, "kOpacityS": 100, "kOverlay": true, "kColorFontC": 0,
                  "kHorizontalS": 1.0, "kVerticalS": 0.5, "kVerticalC": 1, "kRotationS": 90,
                  "kActionC": ")" + LinkDocumentBase64(mFolder) + R"("},
      "kStamp1": {"kStampType": 1, "kStampNameE": "Logo", "kSelectFileE": ")" + File("logo.jpg") + R"(",
                  "kSizeS": 50, "kOpacityS": 100, "kOverlay": true, "kHorizontalS": 2.0, "kVerticalS": 2.0},
      "kStamp2": {"kStampType": 2, "kStampNameE": "Page", "kSelectFileE": ")" + File("source.pdf") + R"(",
                  "kPageNoS": 2, "kSizeS": 30, "kOpacityS": 50, "kOverlay": true, "kHorizontalC": 1,
                  "kHorizontalS": 0.5, "kVerticalC": 2}
    })";
    qmtest::writeBytes(File("profile.json"), json);
    Cli("profile import " + qmtest::shellQuote(File("profile.json")) + " --name Imported");

    for (const char* version : {"8", "5"}) {
        SCOPED_TRACE(std::string("host version ") + version);
        const std::string designed = File("designed.pdf");
        const std::string imported = File("imported.pdf");
        Cli(std::string("--host-version ") + version + " stamp --profile Designed " +
            qmtest::shellQuote(File("in.pdf")) + " -o " + qmtest::shellQuote(designed));
        Cli(std::string("--host-version ") + version + " stamp --profile Imported " +
            qmtest::shellQuote(File("in.pdf")) + " -o " + qmtest::shellQuote(imported));
        const PdfObjects left(designed);
        const PdfObjects right(imported);
        ASSERT_EQ(left.PageCount(), 3);
        ASSERT_EQ(right.PageCount(), 3);
        for (int index = 0; index < 3; ++index) {
            const std::vector<std::string> parts = left.PageParts(index);
            EXPECT_EQ(parts, right.PageParts(index)) << "page " << index + 1;
            // The page holds the Bates number's text, the image, the placed page and the link.
            int links = 0, contents = 0, xobjects = 0;
            for (const std::string& part : parts) {
                links += part.rfind("link ", 0) == 0 && part.find("GoTo") != std::string::npos;
                contents += part.rfind("content ", 0) == 0;
                xobjects += part.rfind("xobject ", 0) == 0;
            }
            EXPECT_EQ(links, 1) << "page " << index + 1;
            EXPECT_GE(contents, 2) << "page " << index + 1;
            EXPECT_GE(xobjects, 2) << "page " << index + 1;
        }
        const std::string words =
            qmtest::runCommand("pdftotext -f 2 -l 2 " + qmtest::shellQuote(designed) + " -").output;
        EXPECT_NE(words.find("No. 000002"), std::string::npos) << words;
    }
}

}  // namespace
}  // namespace uitest
