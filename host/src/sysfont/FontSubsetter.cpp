#include "sysfont/FontSubsetter.h"

#include "qmhost/HostError.h"
#include "sysfont/FontsLibrary.h"

namespace qmhost {

std::optional<FontSubset> subsetFontProgram(std::string_view program, const std::set<unsigned>& glyphs,
                                            bool retainGlyphIds, std::string* why) {
    try {
        FontSubset subset;
        if (!fontsLibrary().subset(program, glyphs, retainGlyphIds, &subset, why)) return std::nullopt;
        return subset;
    } catch (const HostError& error) {
        // The library could not be opened: the font is embedded whole.
        if (why) *why = error.what();
        return std::nullopt;
    }
}

}  // namespace qmhost
