// The base of the element undo records: one record takes back one piece that
// an element added to a document (see CPDFElementUndoAdd).
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "support/CUndoManagerData.h"

// What a record took note of; the value is stored in the record.
enum : int32_t {
    kElementUndoContent = 0,    // a content stream in the page's "Contents"
    kElementUndoResources = 1,  // a copied resource dictionary (page -1)
    kElementUndoXObject = 2,    // an "XObject" resource entry (image or form)
    kElementUndoExtGState = 3,  // an "ExtGState" resource entry
    kElementUndoAnnot = 4,      // a link annotation
    kElementUndoFont = 5,       // a "Font" resource entry
    kElementUndoCosObj = 6,     // an object not yet used by a page (page -1)
};

// Labels (record names) the elements give their records.
inline constexpr const char kElementUndoNameContent[] = "Content";
inline constexpr const char kElementUndoNameResources[] = "Resources";
inline constexpr const char kElementUndoNameImage[] = "Image";
inline constexpr const char kElementUndoNameXObject[] = "XObject";
inline constexpr const char kElementUndoNameExtGState[] = "ExtGState";
inline constexpr const char kElementUndoNameAnnot[] = "Annot";
inline constexpr const char kElementUndoNameFont[] = "Font";
inline constexpr const char kElementUndoNameCosObj[] = "CosObj";
// An entry put into a dictionary of the document's structure (CPDFElementUndoReplace).
inline constexpr const char kElementUndoNameEntry[] = "Entry";

// The page index of a record that is bound to no page.
constexpr int32_t kElementUndoNoPage = -1;

class CPDFElementUndoData : public CUndoManagerData {
public:
    // inAVDoc: the view in whose document the addition was made (not owned).
    // inName: the label, copied (null: none). Throws kErrCosObject when the copy
    // cannot be allocated. A label equal to one of the kElementUndoName texts
    // costs no copy: the record keeps the constant (a run makes several
    // records a page, all with these labels).
    CPDFElementUndoData(AVDoc inAVDoc, int32_t inPageIndex, const char* inName);
    // Frees both texts.
    ~CPDFElementUndoData() override;

    // Takes the addition back; true on success. Meant to run once.
    virtual bool Undo() = 0;
    // Setters free the old text and store a copy (null: none); kErrCosObject
    // when the copy cannot be allocated. Getters answer the stored text or null.
    virtual void SetName(const char* inName);
    virtual const char* GetName() const;
    virtual void SetDescription(const char* inDescription);
    virtual const char* GetDescription() const;

    AVDoc GetAVDoc() const { return mAVDoc; }
    int32_t GetPageIndex() const { return mPageIndex; }
    // The result of the last Undo; false before any.
    bool GetSuccess() const { return mSuccess; }

protected:
    AVDoc mAVDoc;
    bool mSuccess = false;
    int32_t mPageIndex;

private:
    static char* CopyText(const char* inText);
    void FreeName();

    bool mOwnsName = false;  // mName is a heap copy, not one of the label constants
    uint32_t mReserved = 0;
    char* mDescription = nullptr;
    const char* mName = nullptr;
};
