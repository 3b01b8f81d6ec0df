#include "support/cos/CCosObj.h"

#include <set>

#include "support/Assertion.h"
#include "support/CallbackGuard.h"
#include "support/cos/CCosArray.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosStream.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {
uint64_t HandleKey(CosObj obj) { return (uint64_t{obj.a} << 32) | obj.b; }

// What travels through the host's enumeration: the wrapper and the code that
// its handler threw, which must not cross the host's frames.
struct EnumContext {
    CCosObj* target;
    bool failed = false;
    ErrorCode error = 0;
};

bool EnumProc(CosObj key, CosObj value, void* clientData) {
    auto* context = static_cast<EnumContext*>(clientData);
    return TrapFailure([&] { return context->target->OnEnumEntry(key, value); },
                       [&] {
                           context->error = CurrentErrorCode(kErrNoMemory);
                           context->failed = true;
                           return false;
                       });
}
}  // namespace

bool CCosCopyMemo::Find(CosObj source, CosObj* copy) const {
    const auto found = mCopies.find(HandleKey(source));
    if (found == mCopies.end()) return false;
    *copy = found->second;
    return true;
}

void CCosCopyMemo::Add(CosObj source, CosObj copy) { mCopies[HandleKey(source)] = copy; }

CosObj CosNullObj() { return gCosHFT ? gCosHFT->newNull() : CosObj{0, 0}; }

CCosObj::CCosObj() { Init(); }

CCosObj::CCosObj(CosDoc doc) {
    Init();
    mCosDoc = doc;
}

CCosObj::CCosObj(CosDoc doc, int32_t value) : CCosObj(doc) { SetInteger(value); }
CCosObj::CCosObj(CosDoc doc, ASAtom name) : CCosObj(doc) { SetName(name); }
CCosObj::CCosObj(CosDoc doc, bool value) : CCosObj(doc) { SetBoolean(value); }
CCosObj::CCosObj(CosDoc doc, double value) : CCosObj(doc) { SetFloat(value); }
CCosObj::CCosObj(CosDoc doc, CosObj obj) : CCosObj(doc) { Attach(obj); }

CCosObj::~CCosObj() = default;

void CCosObj::Init() {
    mCosObj = CosNullObj();
    mCosDoc = nullptr;
}

void CCosObj::SetCosDoc(CosDoc doc) { mCosDoc = doc; }
CosDoc CCosObj::GetCosDoc() const { return mCosDoc; }

CCosObj* CCosObj::SetCosObj(CosObj obj) {
    mCosObj = obj;
    return this;
}

bool CCosObj::IsNull() const { return gCosHFT->objEqual(mCosObj, gCosHFT->newNull()); }

int32_t CCosObj::GetType() const {
    return CallHost([&] { return gCosHFT->objGetType(mCosObj); });
}

bool CCosObj::IsIndirect() const {
    return CallHost([&] { return gCosHFT->objIsIndirect(mCosObj); });
}

bool CCosObj::IsScalar() const {
    const int32_t type = GetType();
    return type >= CosNull && type <= CosName;
}

bool CCosObj::Enumerate() {
    EnumContext context{this};
    const bool ranToEnd = CallHost([&] { return gCosHFT->objEnum(mCosObj, EnumProc, &context); });
    if (context.failed) ThrowErrorCode(context.error);
    return ranToEnd;
}

bool CCosObj::OnEnumEntry(CosObj, CosObj) { return true; }

void CCosObj::Attach(CosObj obj) { mCosObj = obj; }

void CCosObj::Assign(const CCosObj& other) {
    mCosObj = other.mCosObj;
    mCosDoc = other.mCosDoc;
}

void CCosObj::SetInteger(int32_t value, bool indirect) {
    mCosObj = CallHost([&] { return gCosHFT->newInteger(mCosDoc, indirect, value); });
}

void CCosObj::SetBoolean(bool value, bool indirect) {
    mCosObj = CallHost([&] { return gCosHFT->newBoolean(mCosDoc, indirect, value); });
}

void CCosObj::SetName(ASAtom name, bool indirect) {
    mCosObj = CallHost([&] { return gCosHFT->newName(mCosDoc, indirect, name); });
}

void CCosObj::SetFixed(ASFixed value, bool indirect) {
    mCosObj = CallHost([&] { return gCosHFT->newFixed(mCosDoc, indirect, value); });
}

void CCosObj::SetFloat(double value, bool indirect) { SetFixed(FixedFromDouble(value), indirect); }

int32_t CCosObj::GetInteger() const {
    switch (GetType()) {
    case CosInteger: return CallHost([&] { return gCosHFT->integerValue(mCosObj); });
    case CosFixed: return FixedToInt(CallHost([&] { return gCosHFT->fixedValue(mCosObj); }));
    default: ReportAssertion("0", __FILE__, __LINE__);
    }
}

ASFixed CCosObj::GetFixed() const {
    switch (GetType()) {
    case CosInteger: return FixedFromInt(CallHost([&] { return gCosHFT->integerValue(mCosObj); }));
    case CosFixed: return CallHost([&] { return gCosHFT->fixedValue(mCosObj); });
    default: ReportAssertion("0", __FILE__, __LINE__);
    }
}

double CCosObj::GetFloat() const { return FixedToDouble(GetFixed()); }

bool CCosObj::GetBoolean() const {
    QM_ASSERT_TEXT(GetType() == CosBoolean, "CosObjGetType(mCosObj) == CosBoolean");
    return CallHost([&] { return gCosHFT->booleanValue(mCosObj); });
}

ASAtom CCosObj::GetName() const {
    QM_ASSERT_TEXT(GetType() == CosName, "CosObjGetType(mCosObj) == CosName");
    return CallHost([&] { return gCosHFT->nameValue(mCosObj); });
}

CosObj CCosObj::Copy(bool share) const {
    CCosCopyMemo memo;
    return Copy(share, memo);
}

CosObj CCosObj::Copy(bool share, CCosCopyMemo& memo) const {
    const bool indirect = IsIndirect();
    if (share && indirect) return mCosObj;
    CosObj copy;
    if (indirect && memo.Find(mCosObj, &copy)) return copy;
    const CosDoc doc = mCosDoc;
    switch (GetType()) {
    case CosNull: return CosNullObj();
    case CosInteger: return CCosObj(doc, GetInteger()).GetCosObj();
    case CosFixed: return CCosObj(doc, GetFloat()).GetCosObj();
    case CosBoolean: return CCosObj(doc, GetBoolean()).GetCosObj();
    case CosName: return CCosObj(doc, GetName()).GetCosObj();
    case CosString: {
        int32_t length = 0;
        const char* bytes = CallHost([&] { return gCosHFT->stringValue(mCosObj, &length); });
        return CallHost([&] { return gCosHFT->newString(doc, false, bytes, length); });
    }
    case CosDict: return CCosDict(doc, mCosObj).Copy(indirect, share, memo);
    case CosArray: return CCosArray(doc, mCosObj).Copy(indirect, share, memo);
    case CosStream: return CCosStream(doc, mCosObj).Copy(share, memo);
    default: ReportAssertion("0", __FILE__, __LINE__);
    }
}

void CCosObj::Dump(FILE* file) const {
    // Indirect objects on the path being printed: a reference back to one of
    // them (a page's /Parent) is printed as a mark instead of without end.
    static std::set<uint64_t> sOnPath;
    const int32_t type = GetType();
    const bool container = type == CosDict || type == CosArray || type == CosStream;
    if (container && IsIndirect()) {
        const uint64_t key = HandleKey(mCosObj);
        if (!sOnPath.insert(key).second) {
            std::fputs("(cycle)\n", file);
            return;
        }
        const auto leave = OnScopeExit([&] { sOnPath.erase(key); });
        DumpValue(file, type);
        return;
    }
    DumpValue(file, type);
}

void CCosObj::DumpValue(FILE* file, int32_t type) const {
    switch (type) {
    case CosNull: std::fputs("CosNull\n", file); break;
    case CosInteger: std::fprintf(file, "%d\n", GetInteger()); break;
    case CosFixed: std::fprintf(file, "%5.2f\n", GetFloat()); break;
    case CosBoolean: std::fprintf(file, "%s\n", GetBoolean() ? "true" : "false"); break;
    case CosName: {
        const ASAtom name = GetName();
        std::fprintf(file, "/%s\n", CallHost([&] { return gCoreHFT->atomGetString(name); }));
        break;
    }
    case CosString: {
        int32_t length = 0;
        const char* bytes = CallHost([&] { return gCosHFT->stringValue(mCosObj, &length); });
        // The bytes as they are: a string may hold NULs.
        std::fwrite(bytes, 1, static_cast<size_t>(length), file);
        std::fputc('\n', file);
        break;
    }
    case CosDict: CCosDict(mCosDoc, mCosObj).Dump(file); break;
    case CosArray: CCosArray(mCosDoc, mCosObj).Dump(file); break;
    case CosStream: CCosStream(mCosDoc, mCosObj).Dump(file); break;
    default: break;
    }
}
