#include "engine/CPageResources.h"

#include <vector>

#include "engine/EngineHostFrame.h"
#include "engine/XObjectPlacing.h"
#include "support/cos/PDFAtoms.h"

using engine::Atom;

namespace {

// A page tree or a nesting of forms deeper than this is a loop in a damaged file.
constexpr int kMaxTreeDepth = 64;

// The values of a dictionary's entries, in key order.
std::vector<CosObj> ValuesOf(CosObj dict) {
    std::vector<CosObj> values;
    gCosHFT->objEnum(
        dict,
        [](CosObj, CosObj value, void* data) {
            static_cast<std::vector<CosObj>*>(data)->push_back(value);
            return true;
        },
        &values);
    return values;
}

// The items of an array, in order.
std::vector<CosObj> ItemsOf(CosObj array) {
    std::vector<CosObj> items;
    gCosHFT->objEnum(
        array,
        [](CosObj item, CosObj, void* data) {
            static_cast<std::vector<CosObj>*>(data)->push_back(item);
            return true;
        },
        &items);
    return items;
}

// Collects the dictionaries that the form's default resources and the
// annotations' appearance streams draw with, and their sub-dictionaries, down
// through the forms they draw.
class SharedUseScan {
public:
    explicit SharedUseScan(std::set<uint64_t>& used) : mUsed(used) {}

    void Document(CosDoc cosDoc) {
        const CosObj root = gCosHFT->docGetRoot(cosDoc);
        const CosObj form = gCosHFT->dictGet(root, gAtomAcroForm);
        if (gCosHFT->objGetType(form) == CosDict) AddResources(gCosHFT->dictGet(form, gAtomDR));
        PageTree(gCosHFT->dictGet(root, Atom("Pages")), 0);
    }

    // Made once per scan, not once per page.
    const ASAtom mAnnots = Atom("Annots");

private:
    void AddResources(CosObj resources, int depth = 0) {
        if (depth > kMaxTreeDepth || gCosHFT->objGetType(resources) != CosDict) return;
        if (!mScanned.insert(CPageResources::Identity(resources)).second) return;
        mUsed.insert(CPageResources::Identity(resources));
        for (const CosObj value : ValuesOf(resources))
            if (gCosHFT->objGetType(value) == CosDict) mUsed.insert(CPageResources::Identity(value));
        // The forms these resources draw have resources of their own, which a
        // page must not write into either.
        const CosObj xobjects = gCosHFT->dictGet(resources, gAtomXObject);
        if (gCosHFT->objGetType(xobjects) != CosDict) return;
        for (const CosObj xobject : ValuesOf(xobjects))
            if (gCosHFT->objGetType(xobject) == CosStream)
                AddResources(gCosHFT->dictGet(gCosHFT->streamDict(xobject), gAtomResources), depth + 1);
    }

    void Appearance(CosObj appearance) {
        if (gCosHFT->objGetType(appearance) == CosStream) {
            AddResources(gCosHFT->dictGet(gCosHFT->streamDict(appearance), gAtomResources));
            return;
        }
        // A dictionary of appearance states, each a stream.
        if (gCosHFT->objGetType(appearance) != CosDict) return;
        for (const CosObj state : ValuesOf(appearance))
            if (gCosHFT->objGetType(state) == CosStream)
                AddResources(gCosHFT->dictGet(gCosHFT->streamDict(state), gAtomResources));
    }

    void Annotations(CosObj annots) {
        if (gCosHFT->objGetType(annots) != CosArray) return;
        for (const CosObj annot : ItemsOf(annots)) {
            if (gCosHFT->objGetType(annot) != CosDict) continue;
            const CosObj ap = gCosHFT->dictGet(annot, gAtomAP);
            if (gCosHFT->objGetType(ap) != CosDict) continue;
            for (const char* which : {"N", "R", "D"}) Appearance(gCosHFT->dictGet(ap, Atom(which)));
        }
    }

    void PageTree(CosObj node, int depth) {
        if (depth > kMaxTreeDepth || gCosHFT->objGetType(node) != CosDict) return;
        // Most pages have no annotations and no page has kids: asking whether
        // the entry is there is one host call, reading it and its type two.
        if (gCosHFT->dictKnown(node, mAnnots)) Annotations(gCosHFT->dictGet(node, mAnnots));
        if (!gCosHFT->dictKnown(node, gAtomKids)) return;
        // Only a node with kids can close a loop in a damaged tree; a page
        // listed twice is looked at twice (its resources are scanned once).
        if (!mVisited.insert(CPageResources::Identity(node)).second) return;
        const CosObj kids = gCosHFT->dictGet(node, gAtomKids);
        if (gCosHFT->objGetType(kids) != CosArray) return;
        // One host call hands out all the kids, instead of one per kid.
        for (const CosObj kid : ItemsOf(kids)) PageTree(kid, depth + 1);
    }

    std::set<uint64_t>& mUsed;
    std::set<uint64_t> mVisited;  // page-tree nodes with kids
    std::set<uint64_t> mScanned;  // resource dictionaries
};

// A new indirect dictionary with the entries of dict (their values shared).
CosObj ShallowCopy(CosDoc cosDoc, CosObj dict) {
    const CosObj copy = gCosHFT->newDict(cosDoc, true, 8);
    struct Target {
        CosObj copy;
    } target{copy};
    gCosHFT->objEnum(
        dict,
        [](CosObj key, CosObj value, void* data) {
            gCosHFT->dictPut(static_cast<Target*>(data)->copy, gCosHFT->nameValue(key), value);
            return true;
        },
        &target);
    return copy;
}

}  // namespace

CPageResources::Shared& CPageResources::SharedOf(CosDoc cosDoc) {
    const auto found = mShared.find(cosDoc);
    if (found != mShared.end()) return found->second;
    Shared shared;
    SharedUseScan(shared.used).Document(cosDoc);
    return mShared.emplace(cosDoc, std::move(shared)).first->second;
}

CosObj CPageResources::Writable(CosDoc cosDoc, CosObj holder, ASAtom key, CosObj dict) {
    Shared& shared = SharedOf(cosDoc);
    if (!shared.used.count(Identity(dict))) return dict;
    auto copy = shared.copies.find(Identity(dict));
    if (copy == shared.copies.end() || gCosHFT->objGetType(copy->second) != CosDict)
        copy = shared.copies.insert_or_assign(Identity(dict), ShallowCopy(cosDoc, dict)).first;
    gCosHFT->dictPut(holder, key, copy->second);
    mRecorder(holder, key, dict, copy->second);
    return copy->second;
}

CosObj CPageResources::ResourcesOf(CosDoc cosDoc, CosObj pageDict, bool makeIndirect, bool* outPageOwn) {
    CosObj holder{};
    const CosObj resources = engine::InheritedResources(pageDict, &holder);
    if (gCosHFT->objGetType(resources) == CosDict) {
        const CosObj writable = Writable(cosDoc, holder, gAtomResources, resources);
        // An inherited dictionary serves every page below its holder; a copy
        // of a shared one is indirect and serves whatever shared the original.
        if (outPageOwn)
            *outPageOwn = gCosHFT->objEqual(holder, pageDict) && !gCosHFT->objIsIndirect(writable);
        return writable;
    }
    const CosObj before = gCosHFT->dictGet(pageDict, gAtomResources);
    const CosObj made = gCosHFT->newDict(cosDoc, makeIndirect, 2);
    gCosHFT->dictPut(pageDict, gAtomResources, made);
    mRecorder(pageDict, gAtomResources, before, made);
    if (outPageOwn) *outPageOwn = !makeIndirect;
    return made;
}

CosObj CPageResources::CategoryOf(CosDoc cosDoc, CosObj resources, ASAtom category, bool makeIndirect) {
    const CosObj dict = gCosHFT->dictGet(resources, category);
    if (gCosHFT->objGetType(dict) == CosDict) return Writable(cosDoc, resources, category, dict);
    const CosObj made = gCosHFT->newDict(cosDoc, makeIndirect, 1);
    gCosHFT->dictPut(resources, category, made);
    mRecorder(resources, category, dict, made);
    return made;
}

bool CPageResources::EnteredName(CosObj dict, CosObj object, int32_t pageIndex, std::string& outName) const {
    const auto found = mEntered.find({Identity(dict), Identity(object)});
    if (found == mEntered.end() || found->second.pageIndex == pageIndex) return false;
    // Undo may have taken the entry out since, or something else put another there.
    const std::string& name = found->second.name;
    if (!gCosHFT->objEqual(gCosHFT->dictGet(dict, Atom(name.c_str())), object)) return false;
    outName = name;
    return true;
}

void CPageResources::NoteEntered(CosObj dict, CosObj object, int32_t pageIndex, const std::string& name) {
    mEntered.try_emplace({Identity(dict), Identity(object)}, Entry{name, pageIndex});
}
