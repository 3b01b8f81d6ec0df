#include "EngineFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <regex>
#include <sstream>

#include <QJsonArray>
#include <QJsonDocument>
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "common/Netpbm.h"
#include "common/PluginFixture.h"
#include "qmhost/HostError.h"
#include "support/HostTables.h"

namespace enginetest {

void StartEngine() { qmtest::StartLinkedPlugin(); }

std::unique_ptr<CPDFDocument> OpenDocument(const std::string& path) {
    StartEngine();
    auto doc = std::make_unique<CPDFDocument>();
    EXPECT_TRUE(doc->Open(path.c_str())) << path;
    return doc;
}

void SaveDocument(const CPDFDocument& doc, const std::string& path) {
    ASPathName pathName = gAppSupportHFT->pathFromText(path.c_str());
    try {
        gPDModelHFT->docSave(doc.GetPDDoc(), pathName);
    } catch (const HostError& error) {
        ADD_FAILURE() << "saving " << path << ": " << error.what();
    }
    gAppSupportHFT->releasePath(pathName);
}

std::unique_ptr<TextStamp> MakeTextStamp(CPDFDocument& doc, const std::string& text, double size,
                                         const char* font) {
    auto stamp = std::make_unique<TextStamp>();
    stamp->placement.SetScale(size, size);
    stamp->element.SetDocument(&doc);
    stamp->element.SetPlacement(&stamp->placement);
    stamp->element.SetOpacity(1.0);
    stamp->element.SetText(text);
    EXPECT_TRUE(stamp->element.SetStandardFont(font, false)) << font;
    return stamp;
}

namespace {

std::string Unescape(std::string text) {
    static const std::pair<const char*, const char*> kEntities[] = {
        {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}};
    for (const auto& [entity, plain] : kEntities)
        for (size_t pos = text.find(entity); pos != std::string::npos;
             pos = text.find(entity, pos + std::strlen(plain)))
            text.replace(pos, std::strlen(entity), plain);
    return text;
}

std::string TempFile(const std::string& name) {
    static const std::string folder = qmtest::MakeTempFolder("qm-engine-tools-");
    static int counter = 0;
    return folder + "/" + std::to_string(++counter) + "-" + name;
}

}  // namespace

CosObj PageDict(const CPDFDocument& doc, int index) {
    const PDPage page = gPDModelHFT->docAcquirePage(doc.GetPDDoc(), index);
    const CosObj dict = gPDModelHFT->pageGetCosObj(page);
    gPDModelHFT->pageRelease(page);
    return dict;
}

std::vector<std::string> ContentPieces(const CPDFDocument& doc, int index) {
    const CosObj contents = gCosHFT->dictGet(PageDict(doc, index), qmtest::nameAtom("Contents"));
    std::vector<std::string> pieces;
    if (gCosHFT->objGetType(contents) == CosStream) pieces.push_back(StreamData(contents));
    if (gCosHFT->objGetType(contents) == CosArray)
        for (int32_t i = 0; i < gCosHFT->arrayLength(contents); ++i)
            pieces.push_back(StreamData(gCosHFT->arrayGet(contents, i)));
    return pieces;
}

CosObj Lookup(CosObj dict, std::initializer_list<const char*> keys) {
    CosObj value = dict;
    for (const char* key : keys) {
        if (gCosHFT->objGetType(value) != CosDict) return gCosHFT->newNull();
        value = gCosHFT->dictGet(value, qmtest::nameAtom(key));
    }
    return value;
}

bool SetCommaDecimalLocale() {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) return true;
    static const bool made = [] {
        const std::string folder = qmtest::MakeTempFolder("qm-locale-");
        const auto result = qmtest::runCommand("localedef -i de_DE -f UTF-8 " +
                                               qmtest::shellQuote(folder + "/de_DE.UTF-8"));
        if (result.status != 0) return false;
        ::setenv("LOCPATH", folder.c_str(), 1);
        return true;
    }();
    return made && std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
}

void RestoreCLocale() { std::setlocale(LC_NUMERIC, "C"); }

std::vector<TextPage> TextBoxes(const std::string& path) {
    const auto result = qmtest::runCommand("pdftotext -q -bbox " + qmtest::shellQuote(path) + " -");
    EXPECT_EQ(result.status, 0) << result.output;
    std::vector<TextPage> pages;
    static const std::regex kPage(R"re(<page width="([0-9.]+)" height="([0-9.]+)">)re");
    static const std::regex kWord(
        R"re(<word xMin="([-0-9.]+)" yMin="([-0-9.]+)" xMax="([-0-9.]+)" yMax="([-0-9.]+)">([^<]*)</word>)re");
    std::istringstream lines(result.output);
    std::string line;
    std::smatch match;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, match, kPage)) {
            pages.push_back({std::stod(match[1]), std::stod(match[2]), {}});
        } else if (std::regex_search(line, match, kWord) && !pages.empty()) {
            pages.back().words.push_back({Unescape(match[5]), std::stod(match[1]), std::stod(match[2]),
                                          std::stod(match[3]), std::stod(match[4])});
        }
    }
    return pages;
}

std::string PageText(const std::string& path, int pageNumber) {
    const std::string n = std::to_string(pageNumber);
    const auto result = qmtest::runCommand("pdftotext -q -f " + n + " -l " + n + " " +
                                           qmtest::shellQuote(path) + " -");
    EXPECT_EQ(result.status, 0) << result.output;
    return result.output;
}

bool FindWords(const TextPage& page, const std::string& part, Word& outBox) {
    bool found = false;
    for (const Word& word : page.words) {
        if (word.text.find(part) == std::string::npos) continue;
        if (!found) {
            outBox = word;
        } else {
            outBox.xMin = std::min(outBox.xMin, word.xMin);
            outBox.yMin = std::min(outBox.yMin, word.yMin);
            outBox.xMax = std::max(outBox.xMax, word.xMax);
            outBox.yMax = std::max(outBox.yMax, word.yMax);
        }
        found = true;
    }
    return found;
}

Raster::Pixel Raster::At(double xPoints, double yPoints) const {
    if (rgb.empty()) return {255, 255, 255};
    const double scale = dpi / 72.0;
    const int x = std::clamp(static_cast<int>(std::floor((xPoints - left) * scale)), 0, width - 1);
    const int y = std::clamp(static_cast<int>(std::floor((top - yPoints) * scale)), 0, height - 1);
    const size_t at = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

namespace {

Raster RenderWith(const std::string& path, int pageNumber, int dpi, const std::string& area) {
    const std::string prefix = TempFile("render");
    const qmtest::Netpbm image = qmtest::drawPage(path, prefix, dpi, false, pageNumber, "-q" + area);
    std::remove((prefix + ".ppm").c_str());
    Raster raster;
    raster.dpi = dpi;
    raster.width = image.width;
    raster.height = image.height;
    raster.rgb.assign(image.bytes.begin(), image.bytes.end());
    return raster;
}

}  // namespace

Raster RenderPage(const std::string& path, int pageNumber, int dpi) {
    Raster raster = RenderWith(path, pageNumber, dpi, "");
    raster.top = raster.height * 72.0 / dpi;
    return raster;
}

Raster RenderArea(const std::string& path, int pageNumber, int dpi, double pageHeight, double x0,
                  double y0, double x1, double y1) {
    const double scale = dpi / 72.0;
    const int px = static_cast<int>(std::floor(x0 * scale));
    const int py = static_cast<int>(std::floor((pageHeight - y1) * scale));
    const int pw = static_cast<int>(std::ceil((x1 - x0) * scale));
    const int ph = static_cast<int>(std::ceil((y1 - y0) * scale));
    Raster raster = RenderWith(path, pageNumber, dpi,
                               " -x " + std::to_string(px) + " -y " + std::to_string(py) + " -W " +
                                   std::to_string(pw) + " -H " + std::to_string(ph));
    raster.left = px / scale;
    raster.top = pageHeight - py / scale;
    return raster;
}

std::vector<FontRow> Fonts(const std::string& path) {
    const auto result = qmtest::runCommand("pdffonts " + qmtest::shellQuote(path));
    EXPECT_EQ(result.status, 0) << result.output;
    std::vector<FontRow> rows;
    std::istringstream lines(result.output);
    std::string line;
    std::vector<std::pair<size_t, size_t>> columns;
    while (std::getline(lines, line)) {
        if (columns.empty()) {
            if (line.rfind("---", 0) != 0) continue;
            // The dashes give the columns: name, type, encoding, emb, sub, uni, object.
            for (size_t pos = 0; pos < line.size();) {
                const size_t end = line.find(' ', pos);
                const size_t stop = end == std::string::npos ? line.size() : end;
                columns.emplace_back(pos, stop - pos);
                pos = stop + 1;
            }
            continue;
        }
        if (columns.size() < 4 || line.size() < columns[3].first) continue;
        auto cell = [&](size_t i) {
            std::string text = line.substr(columns[i].first, columns[i].second);
            text.erase(text.find_last_not_of(' ') + 1);
            return text;
        };
        rows.push_back({cell(0), cell(1), cell(3) == "yes"});
    }
    return rows;
}

QJsonObject QpdfJson(const std::string& path) {
    const auto result = qmtest::runCommand("qpdf --json " + qmtest::shellQuote(path));
    EXPECT_EQ(result.status, 0) << result.output.substr(0, 500);
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(result.output), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    return json.object();
}

QJsonObject JsonObject(const QJsonObject& json, const QString& reference) {
    const QJsonArray qpdf = json.value("qpdf").toArray();
    const QJsonObject objects = qpdf.size() > 1 ? qpdf.at(1).toObject() : QJsonObject();
    const QJsonObject entry = objects.value("obj:" + reference).toObject();
    if (entry.contains("stream")) return entry.value("stream").toObject().value("dict").toObject();
    return entry.value("value").toObject();
}

std::vector<std::string> PageContentPieces(const std::string& path, int pageIndex) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    std::vector<std::string> pieces;
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (pageIndex < 0 || static_cast<size_t>(pageIndex) >= pages.size()) return pieces;
    QPDFObjectHandle contents = pages[static_cast<size_t>(pageIndex)].getObjectHandle().getKey("/Contents");
    std::vector<QPDFObjectHandle> streams;
    if (contents.isArray())
        streams = contents.getArrayAsVector();
    else if (contents.isStream())
        streams.push_back(contents);
    for (auto& stream : streams) {
        auto data = stream.getStreamData(qpdf_dl_generalized);
        pieces.emplace_back(reinterpret_cast<const char*>(data->getBuffer()), data->getSize());
    }
    return pieces;
}

PageState ReadPageState(const std::string& path, int pageIndex) {
    PageState state;
    state.contents = PageContentPieces(path, pageIndex);
    QPDF pdf;
    pdf.processFile(path.c_str());
    auto pages = QPDFPageDocumentHelper(pdf).getAllPages();
    if (pageIndex < 0 || static_cast<size_t>(pageIndex) >= pages.size()) return state;
    QPDFObjectHandle resources = pages[static_cast<size_t>(pageIndex)].getAttribute("/Resources", false);
    if (resources.isDictionary())
        for (const auto& type : resources.getKeys()) {
            QPDFObjectHandle entries = resources.getKey(type);
            if (!entries.isDictionary() || entries.getKeys().empty()) continue;
            const auto keys = entries.getKeys();
            state.resources[type] = std::set<std::string>(keys.begin(), keys.end());
        }
    QPDFObjectHandle annots = pages[static_cast<size_t>(pageIndex)].getObjectHandle().getKey("/Annots");
    if (annots.isArray())
        for (auto& annot : annots.getArrayAsVector())
            state.annotations.push_back(annot.getKey("/Subtype").isName() ? annot.getKey("/Subtype").getName() : "?");
    return state;
}

int CountStreamsWithKey(const std::string& path, const std::string& key) {
    QPDF pdf;
    pdf.processFile(path.c_str());
    int count = 0;
    for (QPDFObjectHandle object : pdf.getAllObjects())
        if (object.isStream() && object.getDict().hasKey(key)) ++count;
    return count;
}

}  // namespace enginetest
