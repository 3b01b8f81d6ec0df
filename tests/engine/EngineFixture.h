// Helpers for the element engine's tests: documents opened through
// CPDFDocument, files written through the host, and readings of those files
// by independent tools (pdftotext, pdftoppm, pdffonts, qpdf and the qpdf
// library).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include <QJsonObject>

#include "common/PdfFixtures.h"
#include "common/PluginFixture.h"
#include "engine/CPDFDocument.h"
#include "engine/CPDFPlacement.h"
#include "engine/CPDFTextElement.h"
#include "qmhost/QMBase.h"

namespace enginetest {

// Starts the linked plug-in (host tables imported, atoms made) once.
void StartEngine();

// A document opened from path through CPDFDocument (owning); fails the test
// when it cannot be opened.
std::unique_ptr<CPDFDocument> OpenDocument(const std::string& path);

// Writes the document to path through the host (PDModel docSave).
void SaveDocument(const CPDFDocument& doc, const std::string& path);

// A text element on doc with placement, opacity 1 and the standard font
// (Helvetica unless given), at size points.
struct TextStamp {
    CPDFPlacement placement;
    CPDFTextElement element;
};
std::unique_ptr<TextStamp> MakeTextStamp(CPDFDocument& doc, const std::string& text, double size,
                                         const char* font = "Helvetica");

// --- the document in memory, through the host's tables
// The page's dictionary (the page is released again; the dictionary stays valid).
CosObj PageDict(const CPDFDocument& doc, int index);
// The decoded data of a stream.
using qmtest::StreamData;
// The pieces of a page's "Contents" in order (one for a single stream).
std::vector<std::string> ContentPieces(const CPDFDocument& doc, int index);
// The value under a path of keys from dict ("Resources", "Font", "NxF0");
// the null object when a key is missing.
CosObj Lookup(CosObj dict, std::initializer_list<const char*> keys);

// Puts a comma-decimal locale (German) in force for LC_NUMERIC, made with
// localedef in a scratch folder when the system has none installed; false
// when none can be had. RestoreCLocale puts "C" back.
bool SetCommaDecimalLocale();
void RestoreCLocale();

// --- pdftotext -bbox
struct Word {
    std::string text;
    double xMin, yMin, xMax, yMax;  // points, from the displayed page's top-left corner
};
struct TextPage {
    double width = 0, height = 0;  // the displayed page
    std::vector<Word> words;
};
std::vector<TextPage> TextBoxes(const std::string& path);
// The words of a page joined by blanks (pdftotext's reading).
std::string PageText(const std::string& path, int pageNumber);
// The box of every word whose text contains part (the union), or false.
bool FindWords(const TextPage& page, const std::string& part, Word& outBox);

// --- pdftoppm
struct Raster {
    int width = 0, height = 0;  // pixels
    double dpi = 0;
    double left = 0, top = 0;   // points: the rendered area's upper-left corner, y up
    std::vector<unsigned char> rgb;
    struct Pixel {
        int r, g, b;
        int sum() const { return r + g + b; }
    };
    // The pixel at (x, y) points of the displayed page, y up from its bottom
    // edge (clamped into the rendered area).
    Pixel At(double xPoints, double yPoints) const;
};
// Renders page (1-based) at dpi, whole.
Raster RenderPage(const std::string& path, int pageNumber, int dpi);
// Renders only the area (x0, y0)..(x1, y1) points (y up) of a page whose
// displayed height is pageHeight.
Raster RenderArea(const std::string& path, int pageNumber, int dpi, double pageHeight, double x0,
                  double y0, double x1, double y1);

// --- pdffonts
struct FontRow {
    std::string name;
    std::string type;
    bool embedded = false;
};
std::vector<FontRow> Fonts(const std::string& path);

// --- qpdf
// `qpdf --json` of the file.
QJsonObject QpdfJson(const std::string& path);
// The value of object "N G R" of that JSON (a stream gives its dictionary).
QJsonObject JsonObject(const QJsonObject& json, const QString& reference);

// Read with the qpdf library: a page's content streams' decoded data in order.
std::vector<std::string> PageContentPieces(const std::string& path, int pageIndex);
// What undo must put back on a page, read with the qpdf library: the content
// pieces, the keys of each (effective, inherited) resource sub-dictionary,
// empty ones left out, and the subtypes of the annotations.
struct PageState {
    std::vector<std::string> contents;
    std::map<std::string, std::set<std::string>> resources;
    std::vector<std::string> annotations;
    bool operator==(const PageState&) const = default;
};
PageState ReadPageState(const std::string& path, int pageIndex);
// The number of streams in the file whose dictionary has key (e.g. "/Length1").
int CountStreamsWithKey(const std::string& path, const std::string& key);

}  // namespace enginetest
