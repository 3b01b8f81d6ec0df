#include "stamper/RunWarnings.h"

#include <set>

#include "qmhost/HostError.h"
#include "support/Alerts.h"
#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "support/io/FileSystemHelpers.h"

namespace {

std::set<std::string>& WarnedKinds() {
    static std::set<std::string> kinds;
    return kinds;
}

// A form's field tree is bounded by what the file holds, but a damaged file may
// loop; the walk stops after this many fields or levels.
constexpr int kMaxFields = 100000;
constexpr int kMaxDepth = 32;

ASAtom AtomOf(const char* text) { return gCoreHFT->atomFromString(text); }

struct FieldWalk {
    int visited = 0;

    // fieldType: the /FT inherited from the parents (kASAtomNull: none yet).
    bool HasSignedField(CosObj fields, ASAtom fieldType, int depth) {
        if (depth > kMaxDepth || gCosHFT->objGetType(fields) != CosArray) return false;
        const int32_t count = gCosHFT->arrayLength(fields);
        for (int32_t i = 0; i < count && visited < kMaxFields; ++i, ++visited) {
            const CosObj field = gCosHFT->arrayGet(fields, i);
            if (gCosHFT->objGetType(field) != CosDict) continue;
            ASAtom type = fieldType;
            const CosObj ownType = gCosHFT->dictGet(field, AtomOf("FT"));
            if (gCosHFT->objGetType(ownType) == CosName) type = gCosHFT->nameValue(ownType);
            if (type == AtomOf("Sig") && gCosHFT->objGetType(gCosHFT->dictGet(field, AtomOf("V"))) == CosDict)
                return true;
            if (HasSignedField(gCosHFT->dictGet(field, AtomOf("Kids")), type, depth + 1)) return true;
        }
        return false;
    }
};

}  // namespace

void BeginRunWarnings() { WarnedKinds().clear(); }

void WarnOncePerRun(const std::string& inKind, const std::string& inText) {
    // A warning that cannot be shown is lost; the run goes on.
    TrapRun([&] {
        if (!WarnedKinds().insert(inKind).second) return;
        ShowWarning(inText.c_str());
    });
}

bool HasDigitalSignatures(PDDoc inDoc) {
    if (!inDoc || !gPDModelHFT || !gCosHFT || !gCoreHFT) return false;
    return TrapOr(false, [&] {
        const CosObj root = gCosHFT->docGetRoot(gPDModelHFT->docGetCosDoc(inDoc));
        const CosObj form = gCosHFT->dictGet(root, AtomOf("AcroForm"));
        if (gCosHFT->objGetType(form) != CosDict) return false;
        const CosObj flags = gCosHFT->dictGet(form, AtomOf("SigFlags"));
        if (gCosHFT->objGetType(flags) == CosInteger && (gCosHFT->integerValue(flags) & 1) != 0) return true;
        FieldWalk walk;
        return walk.HasSignedField(gCosHFT->dictGet(form, AtomOf("Fields")), kASAtomNull, 0);
    });
}

void WarnIfSigned(PDDoc inDoc) {
    if (!HasDigitalSignatures(inDoc)) return;
    std::string name = "the document";
    // Unnamed when the name cannot be had: the warning still goes out.
    TrapRun([&] {
        char path[kFileSpecCapacity] = "";
        if (GetDocFileName(inDoc, path, sizeof path, true, true) && path[0]) name = path;
    });
    WarnOncePerRun("signatures " + name,
                   name + " carries digital signatures: the stamps change the document, so the signatures no "
                          "longer cover it");
}
