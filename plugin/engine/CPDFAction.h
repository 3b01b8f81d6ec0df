// The link action an element puts over itself as a "Link" annotation, with the
// view destination and the border from which such an action is built.
#pragma once

#include <cstdint>

#include "qmhost/HostError.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/QMBase.h"
#include "support/ErrorCode.h"
#include "support/HostFrame.h"

// View type indices, in the order of the view-type table.
enum : int32_t {
    kViewTypeXYZUnsetZoom = 0,  // "XYZ", zoom unset (0x80000000)
    kViewTypeXYZ = 1,           // "XYZ" with a zoom
    kViewTypeFitH = 2,
    kViewTypeFitV = 3,
    kViewTypeFit = 4,
    kViewTypeFitB = 5,
    kViewTypeFitR = 6,
    kViewTypeFitBH = 7,
    kViewTypeFitBV = 8,
    kViewTypeCount = 9,
};

// 0..8 by the view-type table: "XYZ" gives 0 when inZoom is 0x80000000 and 1
// otherwise; an atom not in the table gives 0.
int32_t ViewTypeIndex(ASAtom inViewType, ASFixed inZoom);

class CPDFAction {
public:
    static constexpr int32_t kErrorTextSize = 256;

    CPDFAction();
    // Releases the base path when set. The action object belongs to its document.
    ~CPDFAction();
    CPDFAction(const CPDFAction&) = delete;
    CPDFAction& operator=(const CPDFAction&) = delete;

    // True when the action is not the null object and the host finds it valid.
    bool IsValid() const;
    void GetBorder(PDLinkBorder& outBorder) const;

    // 0..8 sets the view type from the table (0 also unsets the zoom); other
    // indices are ignored.
    void SetViewType(int32_t inIndex);
    ASAtom GetViewType() const { return mViewType; }
    // inZoom 1.0 = 100 %; > 0 stores fixed(inZoom) and answers true, else false.
    bool SetZoom(float inZoom);
    ASFixed GetZoom() const { return mZoom; }
    // Destination rectangle (16.16); all zero means the whole page box. True.
    bool SetRect(ASFixed inLeft, ASFixed inTop, ASFixed inRight, ASFixed inBottom);
    const ASFixedRect& GetRect() const { return mRect; }
    // Link border width (16.16); negative answers false.
    bool SetBorderWidth(ASFixed inWidth);
    // Dash style 0..5 (solid, 3, 2, 2-1, 3-5, 2-3 points); other values false.
    bool SetBorderDash(int32_t inStyle);
    // Path against which file specs are made relative (UTF-8). Empty
    // or null leaves none; true unless the host cannot make the path.
    bool SetBasePath(const char* inPath);
    ASPathName GetBasePath() const { return mBasePath; }

    // The action and the document it belongs to (the stamped document).
    void SetAction(PDAction inAction) { mAction = inAction; }
    PDAction GetAction() const { return mAction; }
    void SetDocument(PDDoc inDoc) { mDoc = inDoc; }
    PDDoc GetDocument() const { return mDoc; }
    // The host's message of the last failed build, "" when none failed.
    const char* GetErrorText() const { return mErrorText; }

    // Makes a "GoTo" action point into the document: false when the action is
    // not valid, no document is set or the destination does not resolve; a
    // non-"GoTo" action answers true unchanged.
    bool ResolveGoTo();
    // Builds an action in the document; on success it replaces the stored
    // action and answers true. Failure keeps the previous action, puts the
    // host's message into the error text and answers false.
    // "GoTo" to the zero-based page inPage with the view type, zoom and rectangle.
    bool MakeGoToAction(int32_t inPage);
    // "GoToR" to page inPage of the file at inPath (relative to the base path).
    bool MakeGoToRAction(const char* inPath, int32_t inPage);
    // "Launch" of the file at inPath (relative to the base path).
    bool MakeLaunchAction(const char* inPath);
    // "URI" with the given URI bytes.
    bool MakeURIAction(const char* inURI);

private:
    // Runs inBody; a host error (or a code thrown by a host frame) puts the
    // host's message into the error text and answers false.
    template <class F>
    bool Guarded(F&& inBody) {
        try {
            inBody();
            return true;
        } catch (const HostError& error) {
            TakeHostError(error);
        } catch (ErrorCode) {
        }
        StoreHostError();
        return false;
    }
    void StoreHostError();

    ASAtom mViewType;
    ASFixed mZoom = kPDViewDestNullZoom;
    ASFixedRect mRect{0, 0, 0, 0};
    char mErrorText[kErrorTextSize] = {};
    ASPathName mBasePath = nullptr;
    PDAction mAction{{0, 0}};
    PDDoc mDoc = nullptr;
    PDLinkBorder mBorder{};
};
