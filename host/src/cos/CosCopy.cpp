// objCopy of the "Cos" table: deep copies between documents.
#include "cos/CosCopy.h"

#include <map>
#include <string>

#include "core/Raise.h"
#include "cos/CosEntries.h"
#include "cos/Document.h"
#include "cos/QpdfGuard.h"

namespace qmhost::cos {
namespace {

// One deep copy into target. Indirect objects are qpdf's copier's business: it
// copies each once per source document, keeps shared objects shared, follows
// cycles, and does not cross into the page tree or other pages. Direct
// containers are rebuilt here; the depth bound ends a direct container that
// holds itself, and the copies kept by identity stop a direct object shared n
// times from being copied n times (shared again and again, that would grow
// exponentially).
class DeepCopy {
public:
    explicit DeepCopy(QPDF& target) : mTarget(target) {}

    QPDFObjectHandle copy(QPDFObjectHandle object, int depth) {
        if (object.isIndirect()) {
            if (object.isNull() || object.isDictionaryOfType("/Pages")) return QPDFObjectHandle::newNull();
            // qpdf refuses to copy an object into its own document: it is already there.
            if (object.getOwningQPDF() == &mTarget) return object;
            return mTarget.copyForeignObject(object);
        }
        if (!object.isArray() && !object.isDictionary()) return object.shallowCopy();
        if (depth >= kMaxCopyDepth)
            raise(kHostErrBadPDF, "objects nested more than " + std::to_string(kMaxCopyDepth) + " levels deep");
        const auto done = mDirect.find(object.getObjectPtr());
        if (done != mDirect.end()) return done->second;
        QPDFObjectHandle result = object.isArray() ? copyArray(object, depth) : copyDictionary(object, depth);
        mDirect.emplace(object.getObjectPtr(), result);
        return result;
    }

private:
    QPDFObjectHandle copyArray(QPDFObjectHandle array, int depth) {
        QPDFObjectHandle result = QPDFObjectHandle::newArray();
        for (auto& item : array.getArrayAsVector()) result.appendItem(copy(item, depth + 1));
        return result;
    }

    QPDFObjectHandle copyDictionary(QPDFObjectHandle dictionary, int depth) {
        QPDFObjectHandle result = QPDFObjectHandle::newDictionary();
        for (auto& [key, value] : dictionary.getDictAsMap()) {
            QPDFObjectHandle item = copy(value, depth + 1);
            if (!item.isNull()) result.replaceKey(key, item);
        }
        return result;
    }

    QPDF& mTarget;
    std::map<const void*, QPDFObjectHandle> mDirect;  // source direct container -> its copy
};

}  // namespace

QPDFObjectHandle copyInto(QPDF& target, QPDFObjectHandle object) {
    return DeepCopy(target).copy(object, 0);
}

CosObj objCopy(CosObj obj, CosDoc destination) {
    Document& target = checkedDocument(destination, "objCopy");
    if (isNullHandle(obj)) return CosObj{0, 0};
    Document& source = documentOfObject(obj);
    if (&source == &target)
        raise(kHostErrBadParameter, "objCopy: " + describeObject(obj) + " is already in the destination");
    return cosGuarded("objCopy", obj, [&] {
        return handleFor(target, copyInto(target.qpdf(), objectOf(obj)));
    });
}

}  // namespace qmhost::cos
