#include "sysfont/AfmMetrics.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "core/Raise.h"
#include "sysfont/GlyphNames.h"

namespace qmhost {
namespace {

// Metrics files run to tens of kilobytes (a large CJK one to about a
// megabyte); anything far beyond is not one, and is not read into memory.
constexpr std::streamoff kLargestFile = 16 << 20;
// Values in thousandths of an em beyond this are damage, not metrics (and
// would overflow the integers they are rounded to).
constexpr double kLargestValue = 1e6;

std::string_view trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// Splits s at runs of blanks.
std::vector<std::string_view> words(std::string_view s) {
    std::vector<std::string_view> result;
    size_t at = 0;
    while ((at = s.find_first_not_of(" \t", at)) != std::string_view::npos) {
        const size_t end = std::min(s.find_first_of(" \t", at), s.size());
        result.push_back(s.substr(at, end - at));
        at = end;
    }
    return result;
}

// Reads the lines of one file, raising with the file and line number.
class AfmParser {
public:
    AfmParser(std::string_view text, const std::string& description) : mText(text), mDescription(description) {}

    // Yields the next non-blank line (without its end), false at the end.
    bool nextLine(std::string_view* line) {
        while (mAt < mText.size()) {
            const size_t end = std::min(mText.find_first_of("\r\n", mAt), mText.size());
            const std::string_view raw = mText.substr(mAt, end - mAt);
            // "\r\n" counts as one line end, so that line numbers stay right.
            mAt = end + (mText.compare(end, 2, "\r\n") == 0 ? 2 : 1);
            ++mLine;
            *line = trimmed(raw);
            if (!line->empty()) return true;
        }
        return false;
    }

    [[noreturn]] void fail(const std::string& what) const {
        raise(kHostErrBadParameter,
              "the font metrics file " + mDescription + " is damaged (line " + std::to_string(mLine) + "): " + what);
    }

    double number(std::string_view word) const {
        double value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
        if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value) ||
            std::fabs(value) > kLargestValue)
            fail("\"" + std::string(word) + "\" is not a number");
        return value;
    }

    int integer(std::string_view word, int base) const {
        int value = 0;
        const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value, base);
        if (error != std::errc() || end != word.data() + word.size() || value < -1 || value > 0xFFFFFF)
            fail("\"" + std::string(word) + "\" is not a character code");
        return value;
    }

    AfmBox box(const std::vector<std::string_view>& values) const {
        if (values.size() != 4) fail("a box takes four numbers");
        return {number(values[0]), number(values[1]), number(values[2]), number(values[3])};
    }

    // One line of the character metrics: "C 32 ; WX 278 ; N space ; B 191 0 191 0 ;".
    AfmGlyph glyph(std::string_view line) const {
        AfmGlyph glyph;
        bool hasCode = false, hasWidth = false, hasName = false;
        size_t at = 0;
        while (at <= line.size()) {
            const size_t end = std::min(line.find(';', at), line.size());
            const std::vector<std::string_view> item = words(line.substr(at, end - at));
            at = end + 1;
            if (item.empty()) continue;
            const std::string_view key = item[0];
            const std::vector<std::string_view> values(item.begin() + 1, item.end());
            if (key == "C" || key == "CH") {
                if (values.size() != 1) fail("a character code takes one value");
                const bool hex = key == "CH" && values[0].size() > 2 && values[0].front() == '<' &&
                                 values[0].back() == '>';
                if (key == "CH" && !hex) fail("a hexadecimal code is written <XX>");
                glyph.code = hex ? integer(values[0].substr(1, values[0].size() - 2), 16) : integer(values[0], 10);
                hasCode = true;
            } else if (key == "WX" || key == "W0X" || key == "W" || key == "W0") {
                if (values.size() != (key.back() == 'X' ? 1u : 2u)) fail("a width takes its numbers");
                glyph.width = number(values[0]);
                hasWidth = true;
            } else if (key == "N") {
                if (values.size() != 1) fail("a glyph name is one word");
                glyph.name = std::string(values[0]);
                hasName = true;
            } else if (key == "B") {
                glyph.box = box(values);
            }
            // Other items (ligatures, vertical widths) do not concern widths.
        }
        if (!hasCode || !hasWidth || !hasName) fail("a glyph needs its code, width and name");
        return glyph;
    }

private:
    std::string_view mText;
    const std::string& mDescription;
    size_t mAt = 0;
    int mLine = 0;
};

}  // namespace

AfmMetrics AfmMetrics::read(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) raise(kHostErrFileOpen, "cannot read the font metrics file " + path);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > kLargestFile) raise(kHostErrBadParameter, "the font metrics file " + path + " is too large");
    std::string text(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(text.data(), size)) raise(kHostErrFileOpen, "cannot read the font metrics file " + path);
    return parse(text, path);
}

AfmMetrics AfmMetrics::parse(std::string_view text, const std::string& description) {
    AfmParser parser(text, description);
    AfmMetrics metrics;
    std::string_view line;
    if (!parser.nextLine(&line) || words(line).front() != "StartFontMetrics")
        parser.fail("it does not begin with StartFontMetrics");
    bool hasBox = false, ended = false;
    while (!ended && parser.nextLine(&line)) {
        const std::vector<std::string_view> item = words(line);
        const std::string_view key = item[0];
        if (key == "FontName") {
            metrics.mFontName = std::string(trimmed(line.substr(key.size())));
        } else if (key == "FontBBox") {
            metrics.mFontBox = parser.box({item.begin() + 1, item.end()});
            hasBox = true;
        } else if (key == "StartCharMetrics") {
            if (item.size() != 2) parser.fail("StartCharMetrics takes the number of glyphs");
            const int count = parser.integer(item[1], 10);
            if (count < 0) parser.fail("a negative number of glyphs");
            while (parser.nextLine(&line) && line != "EndCharMetrics") {
                if (line.rfind("Comment", 0) == 0) continue;
                metrics.mGlyphs.push_back(parser.glyph(line));
            }
            if (line != "EndCharMetrics") parser.fail("the glyphs end without EndCharMetrics");
            if (metrics.mGlyphs.size() != static_cast<size_t>(count))
                parser.fail(std::to_string(metrics.mGlyphs.size()) + " glyphs where " + std::to_string(count) +
                            " were announced");
            ended = true;
        }
    }
    if (!ended) parser.fail("it has no glyphs (StartCharMetrics)");
    if (!hasBox) parser.fail("it has no FontBBox");
    metrics.index();
    return metrics;
}

void AfmMetrics::index() {
    for (size_t i = 0; i < mGlyphs.size(); ++i) {
        const AfmGlyph& glyph = mGlyphs[i];
        mByName.emplace(glyph.name, i);
        if (glyph.code >= 0) mByCode.emplace(static_cast<char32_t>(glyph.code), i);
        const GlyphCharacter c = characterOfGlyphName(glyph.name);
        if (c.character != 0) (c.variant ? mVariantByCharacter : mByCharacter).emplace(c.character, i);
    }
}

const AfmGlyph* AfmMetrics::at(const std::unordered_map<char32_t, size_t>& map, char32_t key) const {
    const auto found = map.find(key);
    return found == map.end() ? nullptr : &mGlyphs[found->second];
}

const AfmGlyph* AfmMetrics::glyphNamed(std::string_view name) const {
    const auto found = mByName.find(name);
    return found == mByName.end() ? nullptr : &mGlyphs[found->second];
}

const AfmGlyph* AfmMetrics::glyphOfCode(int code) const {
    return code < 0 ? nullptr : at(mByCode, static_cast<char32_t>(code));
}

const AfmGlyph* AfmMetrics::glyphOfCharacter(char32_t c) const {
    if (const AfmGlyph* glyph = at(mByCharacter, c)) return glyph;
    // The engines give the no-break space and the soft hyphen the glyphs of
    // the space and the hyphen when the font has none of their own.
    const AfmGlyph* shared = c == 0xA0 ? glyphNamed("space") : c == 0xAD ? glyphNamed("hyphen") : nullptr;
    return shared ? shared : at(mVariantByCharacter, c);
}

}  // namespace qmhost
