#include "core/AtomTable.h"

#include "core/Raise.h"

namespace qmhost {

ASAtom AtomTable::intern(const std::string& text) {
    auto it = mByText.find(text);
    if (it != mByText.end()) return it->second;
    if (mTexts.size() >= kASAtomNull) raise(kHostErrNoMemory, "no atoms left for \"" + text + "\"");
    const ASAtom atom = static_cast<ASAtom>(mTexts.size());
    auto inserted = mByText.emplace(text, atom).first;
    mTexts.push_back(&inserted->first);  // node keys are stable
    mPdfNames.push_back("/" + text);
    return atom;
}

bool AtomTable::find(const std::string& text, ASAtom* out) const {
    auto it = mByText.find(text);
    if (it == mByText.end()) return false;
    if (out) *out = it->second;
    return true;
}

const char* AtomTable::text(ASAtom atom) const {
    return atom < mTexts.size() ? mTexts[atom]->c_str() : nullptr;
}

const std::string* AtomTable::pdfName(ASAtom atom) const {
    return atom < mPdfNames.size() ? &mPdfNames[atom] : nullptr;
}

AtomTable& atoms() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static AtomTable* table = new AtomTable;
    return *table;
}

}  // namespace qmhost
