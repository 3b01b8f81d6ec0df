#include "support/cos/PDFAtoms.h"

#include <iterator>

#include "support/HostFrame.h"
#include "support/HostTables.h"

#define QM_DEFINE_ATOM(global, text) ASAtom global = kASAtomNull;
QM_KEY_ATOMS(QM_DEFINE_ATOM)
QM_FILTER_ATOMS(QM_DEFINE_ATOM)
#undef QM_DEFINE_ATOM

namespace {
#define QM_ATOM_ENTRY(global, text) {&global, text},
const PDFAtomEntry kKeyAtoms[] = {QM_KEY_ATOMS(QM_ATOM_ENTRY)};
const PDFAtomEntry kFilterAtoms[] = {QM_FILTER_ATOMS(QM_ATOM_ENTRY)};
#undef QM_ATOM_ENTRY

template <size_t N>
void MakeAtoms(const PDFAtomEntry (&entries)[N]) {
    for (const PDFAtomEntry& entry : entries)
        *entry.global = CallHost([&] { return gCoreHFT->atomFromString(entry.text); });
}
}  // namespace

void InitKeyAtoms() { MakeAtoms(kKeyAtoms); }
void InitFilterAtoms() { MakeAtoms(kFilterAtoms); }

void ResetPDFAtoms() {
    for (const PDFAtomEntry& entry : kKeyAtoms) *entry.global = kASAtomNull;
    for (const PDFAtomEntry& entry : kFilterAtoms) *entry.global = kASAtomNull;
}

const PDFAtomEntry* KeyAtomEntries(size_t* count) {
    *count = std::size(kKeyAtoms);
    return kKeyAtoms;
}

const PDFAtomEntry* FilterAtomEntries(size_t* count) {
    *count = std::size(kFilterAtoms);
    return kFilterAtoms;
}
