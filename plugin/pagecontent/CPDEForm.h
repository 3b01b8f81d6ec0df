// CPDEForm: a form XObject placed in page content, with its own content; finds
// the image that a form wraps and writes the content streams of a form and of
// every form nested in it to a text file.
#pragma once

#include <cstdio>

#include "pagecontent/CPDEElement.h"

class CPDEForm : public CPDEElement {
public:
    CPDEForm() = default;
    CPDEForm(PDEForm handle, bool acquire) : CPDEElement(handle, acquire) {}
    // A new form element over a form XObject and its resources, placed by matrix.
    CPDEForm(CosObj form, CosObj resources, const ASFixedMatrix& matrix);

    void Create(CosObj form, CosObj resources, const ASFixedMatrix& matrix);
    void GetCosObj(CosObj& out) override;
    virtual PDEContent GetContent();  // lent
    // False when the content holds exactly one element that is an image, or a
    // form that is itself not plain; true otherwise (an empty content too).
    virtual bool IsPlainForm();
    // What the last image or form element of the content gives: an image its
    // handle, a form its own FindImage (null when none).
    virtual PDEImage FindImage();
    // The same walk, but the form that directly holds the image.
    virtual PDEForm FindImageOwner();
    // "STARTING FORM (name):" and the form's stream data, then each nested form,
    // depth first. Without a view the active one; without out, path is opened
    // (nothing is written when it cannot be).
    void DumpFormContents(const char* path, AVDoc view, FILE* out);
};
