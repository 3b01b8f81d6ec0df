// String <-> 16-bit atom, stable for the run.
#pragma once

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmhost {

class AtomTable {
public:
    // Raises kHostErrNoMemory when all atoms are taken.
    ASAtom intern(const std::string& text);
    bool find(const std::string& text, ASAtom* out) const;
    // Null for an unknown atom.
    const char* text(ASAtom atom) const;
    // The atom's text as a PDF name ("/Text"), made once when the atom is and
    // kept at its place for the run (later atoms do not move it); null for an
    // unknown atom.
    const std::string* pdfName(ASAtom atom) const;

private:
    std::unordered_map<std::string, ASAtom> mByText;
    std::vector<const std::string*> mTexts;
    std::deque<std::string> mPdfNames;  // a deque: growing it moves no name
};

AtomTable& atoms();

}  // namespace qmhost
