#include "pagecontent/FormMemberSearch.h"

#include <optional>

#include "pagecontent/CPDEImage.h"
#include "support/FixedPoint.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

void BuildFormMemberTree(CPDEElement* parent, CPDEContent& content, CFormMemberList& list) {
    for (int32_t i = 0; i < content.GetNumElems(); ++i) {
        PDEElement element = content.GetElem(i);
        const int32_t type = CallHost([&] { return gPDFEditReadHFT->objectGetType(element); });
        CFormMember* member = nullptr;
        if (type == kPDEForm) member = new CFormAndContentsFormMember(parent, element);
        else if (type == kPDEContainer) member = new CContainerFormMember(parent, element);
        if (!member) continue;
        list.Append(member);
        BuildFormMemberTree(member->GetElement(), *member->GetContent(), *member);
    }
}

namespace {

bool isStream(CosObj object) {
    return CallHost([&] { return gCosHFT->objGetType(object) == CosStream; });
}

// Whether an image of these attributes and Cos object is one of kinds.
bool imageMatches(CPDEImage& image, CosObj streamTest, uint32_t kinds) {
    PDEImageAttrs attrs;
    image.GetAttributes(attrs);
    const uint32_t bit = (attrs.flags & kPDEImageIsMask) ? kFindImageMask : kFindImage;
    return (kinds & bit) && isStream(streamTest);
}

bool matches(CPDEElement& element, int32_t type, uint32_t kinds) {
    switch (type) {
    case kPDEText: return kinds & kFindText;
    case kPDEPath: return kinds & kFindPath;
    case kPDEImage: {
        CPDEImage image(element.GetHandle());
        CosObj object;
        image.GetCosObj(object);
        return imageMatches(image, object, kinds);
    }
    case kPDEForm: {
        if (!(kinds & kFindFormAsImage)) return kinds & kFindForm;
        CPDEForm form(element.GetHandle(), true);
        PDEImage inner = form.FindImage();
        if (!inner) return false;
        CPDEImage image(inner);
        CosObj object;
        form.GetCosObj(object);
        return imageMatches(image, object, kinds);
    }
    case kPDEContainer: return kinds & kFindContainer;
    default: return false;
    }
}

// The point in the space of a member's content: a form's content is drawn
// through the form's matrix, a container's in the same space.
std::optional<ASFixedPoint> intoMember(CFormMember& member, const ASFixedPoint* point) {
    if (!point) return std::nullopt;
    CPDEElement* element = member.GetElement();
    if (!element || element->GetType() != kPDEForm) return *point;
    const CPDEMatrix m(element->GetMatrix());
    const double det = m.A() * m.D() - m.B() * m.C();
    if (det == 0) return std::nullopt;
    const double x = FixedToDouble(point->h) - m.H(), y = FixedToDouble(point->v) - m.V();
    return ASFixedPoint{FixedFromDouble((x * m.D() - y * m.C()) / det), FixedFromDouble((y * m.A() - x * m.B()) / det)};
}

}  // namespace

PDEElement FindElement(CPDEContent& content, CFormMember* member, CFormMemberList& list, bool recurse,
                       const ASFixedPoint* point, uint32_t kinds, CFormMember** outMember, PDEElement& startAfter,
                       AVDoc view, int32_t pageNumber, AVPageView pageView, bool backward) {
    const int32_t n = content.GetNumElems();
    for (int32_t k = 0; k < n; ++k) {
        const int32_t i = backward ? n - 1 - k : k;
        CPDEElement element(content.GetElem(i), true);
        if (startAfter) {
            if (element.GetHandle() == startAfter) startAfter = nullptr;
            continue;
        }
        const int32_t type = element.GetType();
        if (!matches(element, type, kinds)) continue;
        // Nested elements are tested in their own content's space by the host;
        // the page view's outline test is for the page's own forms.
        if (point && type != kPDEContainer &&
            !element.HitTest(*point, view, pageNumber, member ? nullptr : pageView))
            continue;
        if (outMember) *outMember = member;
        return element.GetHandle();
    }
    if (!recurse) return nullptr;
    const int32_t count = list.GetCount();
    for (int32_t k = 0; k < count; ++k) {
        CFormMember* inner = list.MemberAt(backward ? count - 1 - k : k);
        if (!inner) continue;
        const std::optional<ASFixedPoint> innerPoint = intoMember(*inner, point);
        if (point && !innerPoint) continue;
        PDEElement found = FindElement(*inner->GetContent(), inner, *inner, true, point ? &*innerPoint : nullptr, kinds,
                                       outMember, startAfter, view, pageNumber, pageView, backward);
        if (found) return found;
    }
    return nullptr;
}

bool FindImageMatrix(CPDEForm& form, CPDEMatrix& matrix) {
    CPDEContent content(form.GetContent());
    for (int32_t i = 0; i < content.GetNumElems(); ++i) {
        CPDEElement element(content.GetElem(i), true);
        const int32_t type = element.GetType();
        if (type == kPDEImage) {
            matrix = CPDEMatrix(element.GetMatrix());
            return false;
        }
        if (type == kPDEForm) {
            CPDEForm nested(element.GetHandle(), true);
            if (!FindImageMatrix(nested, matrix)) {
                matrix.Concat(CPDEMatrix(nested.GetMatrix()));
                return false;
            }
        }
    }
    return true;
}

void FindImageInForm(CPDEContent& content, PDEForm formHandle, CPDEMatrix& matrix) {
    matrix.SetIdentity();
    for (int32_t i = 0; i < content.GetNumElems(); ++i) {
        PDEElement element = content.GetElem(i);
        if (element != formHandle) continue;
        CPDEForm form(element, true);
        if (form.GetType() != kPDEForm) return;
        if (!FindImageMatrix(form, matrix)) matrix.Concat(CPDEMatrix(form.GetMatrix()));
        return;
    }
}
