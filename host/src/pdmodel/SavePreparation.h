// Work done on a document just before PDModel docSave writes it and undone
// just after, whatever the save's outcome: a layer above the document model
// (the font subsets of the page-content layer) hooks in here, as the document
// model cannot see it. The composition root installs the hook.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

namespace qmhost {

// Lives while the document is written; its destructor undoes what it did.
class SavePreparation {
public:
    virtual ~SavePreparation() = default;
    // Things written otherwise than asked that the user should hear of.
    virtual std::vector<std::string> warnings() const = 0;
};

// Prepares qpdf's document for writing; raises only for lack of memory.
using SavePreparer = std::unique_ptr<SavePreparation> (*)(QPDF& qpdf);

// The hook docSave runs (null: none, the default).
void setSavePreparer(SavePreparer preparer);
SavePreparer savePreparer();

}  // namespace qmhost
