// The undo record of one addition that an element made to a document: a
// content stream, a resource entry, a link annotation or a free object.
#pragma once

#include <cstdint>

#include "engine/CPDFElementUndoData.h"

class CPDFElementUndoAdd : public CPDFElementUndoData {
public:
    static constexpr int32_t kResourceNameSize = 256;  // 255 characters and the end

    // inKind: kElementUndoContent .. kElementUndoCosObj. inObject: the Cos
    // object that was added. inResourceName: its key in the resource dictionary
    // (kinds 2, 3, 5), kept up to 255 bytes; null is taken as "". inName: the label.
    // The key is kept once per distinct text for the plug-in's life and shared
    // by the records that name it (a run enters the same few names on every
    // page); kErrCosObject when it cannot be kept.
    CPDFElementUndoAdd(AVDoc inAVDoc, int32_t inPageIndex, int32_t inKind, CosObj inObject,
                       const char* inResourceName, const char* inName);
    ~CPDFElementUndoAdd() override;

    // Removes what was added from its page (by kind) and destroys the object.
    // False when the object is null, a kind 0 page has no "Contents", or the
    // host fails (its text is then in the error-message buffer); a failure
    // leaves the rest undone. A record without a view is a programming error:
    // an assertion alert, then kErrAssertion is thrown.
    // The object is taken out of the page but not destroyed: once nothing refers
    // to it, it is not written with the document, and an object that other
    // records or pages share stays whole for them.
    bool Undo() override;

    CosObj GetObject() const { return mObject; }
    int32_t GetKind() const { return mKind; }
    const char* GetResourceName() const;

    // Tells the host that the page's drawing is out of date; never throws.
    static void NotifyChanged(PDPage inPage);

private:
    void UndoOnPage(PDPage inPage);
    void UndoContent(PDPage inPage);

    CosObj mObject;
    int32_t mKind;
    // The number of the kept text, shared by every record that names it and
    // never freed: four bytes instead of a pointer keep a record within 64.
    uint32_t mResourceName;
};
