// The subsets of embedded system fonts, made for one save of a document.
//
// The host embeds a system font's whole program when a stamp makes the font,
// and marks its Type0 dictionary with kSubsetOnSaveKey. While a FontSubsets
// lives, every marked font that the document's pages (and their forms) name is
// written as a subset holding only the glyphs their content shows in it:
//   - the program (FontFile2, or FontFile3 /OpenType) cut down by HarfBuzz;
//     a TrueType subset gets new glyph ids and a CIDToGIDMap stream from the
//     codes (the old glyph ids) to them, a CFF subset keeps its glyph ids;
//   - /W and the ToUnicode map of the codes shown only;
//   - the font's names with a tag of six capitals, "ABCDEF+DejaVuSans", the
//     same for the same glyphs of the same font;
//   - the mark taken out.
// A font that cannot be subset (HarfBuzz cannot read it, or a CID-keyed CFF
// program, whose CIDs a subset need not keep) keeps its whole program, and a
// warning says so. The
// document's codes and content are not touched. The destructor puts every
// replaced entry back, so the open document keeps the whole programs for later
// stamps and saves.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>

namespace qmhost {

// The key (a boolean true) that marks a composite font to be subset when saved.
extern const char* const kSubsetOnSaveKey;

// Called by whoever puts kSubsetOnSaveKey on a font. Until the first call no
// document of this process holds a marked font (saves remove the mark from the
// file), so a save does not scan its pages for marked fonts.
void noteFontMarkedForSubset();

class FontSubsets {
public:
    // Makes the subsets in qpdf's document. Raises only for lack of memory.
    explicit FontSubsets(QPDF& qpdf);
    ~FontSubsets();
    FontSubsets(const FontSubsets&) = delete;
    FontSubsets& operator=(const FontSubsets&) = delete;

    // One line per font left whole, naming it and saying why.
    const std::vector<std::string>& warnings() const { return mWarnings; }
    // How many fonts were subset.
    size_t subsetCount() const { return mSubsetCount; }

private:
    struct FontParts;
    static bool partsOf(QPDFObjectHandle type0, FontParts* parts);
    void build(QPDF& qpdf);
    void subsetOne(QPDF& qpdf, const FontParts& parts, const std::set<uint16_t>& codes);

    struct SavedEntry {
        QPDFObjectHandle dictionary;
        std::string key;
        QPDFObjectHandle value;  // uninitialized: the key was absent
    };
    void replace(QPDFObjectHandle dictionary, const std::string& key, QPDFObjectHandle value);

    std::vector<SavedEntry> mSaved;
    std::vector<std::string> mWarnings;
    size_t mSubsetCount = 0;
};

}  // namespace qmhost
