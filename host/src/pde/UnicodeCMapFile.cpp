#include "pde/UnicodeCMapFile.h"

#include <fstream>
#include <iterator>
#include <sstream>

#include "core/Raise.h"

namespace qmhost {
namespace {

// "<00a4>" -> 0xA4; false for anything else.
bool hexCode(const std::string& word, unsigned long* value) {
    if (word.size() < 3 || word.front() != '<' || word.back() != '>') return false;
    try {
        size_t used = 0;
        *value = std::stoul(word.substr(1, word.size() - 2), &used, 16);
        return used == word.size() - 2 && *value <= 0xFFFF;
    } catch (const std::exception&) {
        return false;
    }
}

bool number(const std::string& word, unsigned long* value) {
    try {
        size_t used = 0;
        *value = std::stoul(word, &used, 10);
        return used == word.size() && *value <= 0xFFFF;
    } catch (const std::exception&) {
        return false;
    }
}

// "(GB1)" -> "GB1".
std::string literal(const std::string& word) {
    return word.size() >= 2 && word.front() == '(' && word.back() == ')' ? word.substr(1, word.size() - 2) : word;
}

}  // namespace

UnicodeCMap parseUnicodeCMap(const std::string& name, const std::string& text) {
    UnicodeCMap cmap;
    cmap.name = name;
    std::istringstream words(text);
    std::string word, previous, section;
    unsigned long first = 0, last = 0, cid = 0;
    while (words >> word) {
        if (word == "begincidrange" || word == "begincidchar") {
            section = word;
        } else if (word == "endcidrange" || word == "endcidchar") {
            section.clear();
        } else if (section == "begincidrange" && hexCode(word, &first)) {
            std::string lastWord, cidWord;
            if (words >> lastWord >> cidWord && hexCode(lastWord, &last) && number(cidWord, &cid) && first <= last)
                for (unsigned long code = first; code <= last && cid + (code - first) <= 0xFFFF; ++code)
                    cmap.cidOfCode[static_cast<uint16_t>(code)] = static_cast<uint16_t>(cid + (code - first));
        } else if (section == "begincidchar" && hexCode(word, &first)) {
            std::string cidWord;
            if (words >> cidWord && number(cidWord, &cid))  // number() keeps cid within 16 bits
                cmap.cidOfCode[static_cast<uint16_t>(first)] = static_cast<uint16_t>(cid);
        } else if (previous == "/Registry") {
            cmap.registry = literal(word);
        } else if (previous == "/Ordering") {
            cmap.ordering = literal(word);
        } else if (previous == "/Supplement") {
            unsigned long value = 0;
            if (number(word, &value)) cmap.supplement = static_cast<int>(value);
        }
        previous = word;
    }
    if (cmap.cidOfCode.empty()) raise(kHostErrBadParameter, "the character map " + name + " maps no code");
    return cmap;
}

UnicodeCMap readUnicodeCMap(const std::string& collection, const std::string& name) {
    const std::string path = std::string(kCMapFolder) + "/" + collection + "/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        raise(kHostErrNotFound, "the character map " + name + " is not installed (" + path +
                                    ", Debian package poppler-data)");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseUnicodeCMap(name, text);
}

}  // namespace qmhost
