// CPageResources: the resource dictionaries an element writes its entries
// into on the pages of a document, and the names its objects have there.
//
// - A page's entries go into its effective resource dictionary: its own
//   "Resources", else the nearest one inherited through "Parent". Pages that
//   inherit one dictionary keep sharing it.
// - A dictionary that is also the interactive form's default resources
//   (/AcroForm /DR) or the resources of an annotation's appearance stream, or
//   one of their sub-dictionaries, is never written into: where the page
//   reaches it, a copy of it takes its place (shallow and indirect, one copy
//   per dictionary and document, so whatever shared the dictionary now shares
//   the copy). The form and the appearances keep their entries.
// - An object entered into a dictionary keeps its name there: every page
//   that shares the dictionary uses that one entry, instead of a new name per
//   page that would run out of names on a long document.
//
// Every key this puts or replaces is told to the recorder, so that undo can put
// the old value back (or remove a dictionary that was made). Operations raise
// what the host raises; call them inside a host frame.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <tuple>

#include "qmhost/QMBase.h"

class CPageResources {
public:
    // holder's entry under key was before (the null object: none) and is now after.
    using Recorder = std::function<void(CosObj holder, ASAtom key, CosObj before, CosObj after)>;

    // A number that is the same for every handle of one object of one document.
    static uint64_t Identity(CosObj obj) { return (uint64_t{obj.a} << 32) | obj.b; }

    explicit CPageResources(Recorder recorder) : mRecorder(std::move(recorder)) {}

    // The dictionary the page's entries go into (see above). A page without
    // any gets a new one (indirect when makeIndirect), put on the page itself.
    // outPageOwn (when given) = the dictionary is the page's alone: direct and
    // held by the page itself, so no other page reaches it.
    CosObj ResourcesOf(CosDoc cosDoc, CosObj pageDict, bool makeIndirect, bool* outPageOwn = nullptr);
    // resources' sub-dictionary of category ("Font", "ExtGState", "XObject"),
    // made (indirect when makeIndirect) when resources has no dictionary there,
    // copied when it is shared as above.
    CosObj CategoryOf(CosDoc cosDoc, CosObj resources, ASAtom category, bool makeIndirect);

    // True and outName = the name object has in dict, when NoteEntered noted
    // it there for another page than pageIndex (so dict is shared between
    // pages) and dict still holds object under that name. A page that takes
    // an element twice gets a fresh name each time, as on a page of its own.
    // A dictionary that only one page reaches (a direct one in the page's own
    // resources) need not be noted: no other page can share an entry in it.
    bool EnteredName(CosObj dict, CosObj object, int32_t pageIndex, std::string& outName) const;
    void NoteEntered(CosObj dict, CosObj object, int32_t pageIndex, const std::string& name);

private:
    // What one document's form and appearances use, found on first need.
    struct Shared {
        std::set<uint64_t> used;                // dictionaries never written into
        std::map<uint64_t, CosObj> copies;      // such a dictionary -> its copy
    };

    // dict itself when no form or appearance uses it, else its copy, put under
    // key in holder.
    CosObj Writable(CosDoc cosDoc, CosObj holder, ASAtom key, CosObj dict);
    Shared& SharedOf(CosDoc cosDoc);

    Recorder mRecorder;
    std::map<CosDoc, Shared> mShared;
    struct Entry {
        std::string name;
        int32_t pageIndex;
    };
    std::map<std::tuple<uint64_t, uint64_t>, Entry> mEntered;  // (dict, object) -> its first entry
};
