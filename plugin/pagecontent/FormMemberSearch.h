// Building the form-member tree and searching it: elements of chosen kinds,
// optionally at a point, forward or backward; and where an image that forms wrap
// is placed in the content that holds the outer form.
#pragma once

#include "pagecontent/CFormMember.h"
#include "pagecontent/CPDEMatrix.h"

// Kinds of elements to find (bits).
enum : uint32_t {
    kFindPath = 0x01,
    kFindText = 0x02,
    kFindImage = 0x04,         // image XObjects (never inline images)
    kFindForm = 0x08,
    kFindImageMask = 0x10,     // stencil masks that are XObjects
    kFindContainer = 0x20,
    kFindFormAsImage = 0x40,   // a form is judged by the image it wraps
};

// One member per form and container of content, appended to list, to any depth.
void BuildFormMemberTree(CPDEElement* parent, CPDEContent& content, CFormMemberList& list);

// Searches content (and with recurse the members of list) for an element of
// kinds; point (may be null) is in content's own space and is carried into each
// form's space on the way down. startAfter: elements up to and including it are
// skipped (it is cleared when met). member: the member whose content this is,
// null for the page's. Answers the element or null.
PDEElement FindElement(CPDEContent& content, CFormMember* member, CFormMemberList& list, bool recurse,
                       const ASFixedPoint* point, uint32_t kinds, CFormMember** outMember, PDEElement& startAfter,
                       AVDoc view, int32_t pageNumber, AVPageView pageView, bool backward);

// The placement of the image in form (image first, then each nested form's
// matrix); answers true while no image was found.
bool FindImageMatrix(CPDEForm& form, CPDEMatrix& matrix);
// The placement, in content's space, of the image inside the direct form element
// formHandle of content (identity when none).
void FindImageInForm(CPDEContent& content, PDEForm formHandle, CPDEMatrix& matrix);
