// Placement of an element on a page: turns the stamp's layout settings (scale,
// alignment to a page edge or the centre, offsets, rotation) into the 16.16
// matrix that maps the element's own coordinates into the page's user space,
// and tests whether a box lies inside the page.
#pragma once

#include <cstdint>
#include <limits>

#include "qmhost/QMBase.h"

class CPDFPlacement {
public:
    // Horizontal alignment codes (as stored); any other value means the centre.
    static constexpr int32_t kAlignLeft = 0;
    static constexpr int32_t kAlignRight = 1;
    // Vertical alignment codes (as stored); any other value means the middle.
    static constexpr int32_t kAlignBottom = 0;
    static constexpr int32_t kAlignTop = 1;

    CPDFPlacement();

    // Scale factors applied to the element's coordinates; stored unchanged.
    void SetScale(double inX, double inY);
    // Horizontal: 0 left, 1 right, other centre (stored unchanged).
    // Vertical as the stamp codes it: 0 top, 1 bottom, other middle; stored
    // swapped (0 -> 1, 1 -> 0) so that the stored value follows the codes above.
    void SetAlignment(int32_t inHorizontal, int32_t inVertical);
    // Offsets from the chosen edge (or the centre), in points; stored unchanged.
    void SetOffset(double inX, double inY);
    // Degrees counter-clockwise; normalised into [0, 360) (725 -> 5, -30 -> 330).
    void SetRotation(double inDegrees);
    // When set (the default), the rotated element box is aligned to the page
    // edge; when clear, the element's origin is.
    void SetAlignRotatedBox(bool inAlign);
    // When set (the default), positions follow the page as displayed (its
    // default matrix, with /Rotate); when clear, the page's user space.
    void SetPageView(bool inPageView);
    // Sets the page to write on (mPage) and forgets what was read of any page
    // before: an element's write of a page calls it first, so that its
    // computes read the page as it stands then (a box or rotation changed
    // since an earlier write of the same page counts). Drops the placed box.
    void SetPage(PDPage inPage);
    // Sets the matrix to identity.
    void ResetMatrix();

    double GetScaleX() const { return mScaleX; }
    double GetScaleY() const { return mScaleY; }
    double GetOffsetX() const { return mOffsetX; }
    double GetOffsetY() const { return mOffsetY; }
    double GetRotation() const { return mRotation; }
    int32_t GetHorizontalAlignment() const { return mHorizontalAlign; }
    int32_t GetVerticalAlignment() const { return mVerticalAlign; }
    bool GetAlignRotatedBox() const { return mAlignRotatedBox; }
    bool GetPageView() const { return mPageView; }

    // outMatrix = (fixed(scale x), 0, 0, fixed(scale y), 0, 0); true.
    bool GetScaleMatrix(ASFixedMatrix& outMatrix) const;
    // Computes mMatrix for mPage and mElementBox (both set by the caller).
    // Reads mPageBox and mViewPageBox from the page. True, or false on a host
    // error (the error text is in the error-message buffer; the matrix is left
    // as far as it came).
    bool Compute();
    // Where the element was placed on the page: Compute notes the box it
    // placed (mElementBox turned and moved as mMatrix places it, without the
    // scale, which the box already holds), in the page's user space. A writer
    // that places its element as several boxes (the lines of a rotated text)
    // notes their union (user space) with SetPlacedBox. SetPage and
    // ForgetPlacedBox drop the note (ForgetPlacedBox: nothing is drawn).
    void SetPlacedBox(const ASFixedRect& inBox);
    void ForgetPlacedBox();
    // True when a box is noted and no part of it lies on mPageBox, the part of
    // the page that is shown (a box without width or height: when it lies
    // beside the page's box, not on its edge).
    bool PlacedOffPage() const;

    // Compares mElementBox (as the caller left it, usually already mapped into
    // page space) with mPageBox. Each output is how far the box reaches beyond
    // that edge (16.16, >= 0), 0 when it does not; true when all are 0.
    bool FitsOnPage(ASFixed& outLeft, ASFixed& outTop, ASFixed& outRight, ASFixed& outBottom) const;

    // The element's writer reads and writes these directly.
    // The element's extent as it stands on the page before the rotation (points,
    // the scale already applied), lower-left corner at the origin; the
    // alignment to the page edges turns and places this box.
    ASFixedRect mElementBox{0, 0, 0, 0};
    PDPage mPage = nullptr;               // the page being written (not owned)
    ASFixedMatrix mMatrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};  // result of Compute

    // Filled by Compute: the page's box, and that box as displayed (the page
    // box mapped by the default matrix when the page-view flag is set).
    ASFixedRect mViewPageBox{0, 0, 0, 0};
    ASFixedRect mPageBox{0, 0, 0, 0};

private:
    // What Compute uses of the placement's rotation: its cosine and sines, and
    // the rotation matrix in fixed units.
    struct Turn {
        double rotation = std::numeric_limits<double>::quiet_NaN();  // degrees, the key; none yet
        double cosine = 1.0, sine = 0.0, negativeSine = -0.0;
        ASFixedMatrix matrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    };
    // The rotated element box's corner vectors (see the .cpp).
    struct Corners {
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };

    // mKnown* for mPage, read from the host unless they were read for that
    // page since the last SetPage. Raises what the host raises.
    void ReadPageGeometry();
    // Notes where inRotated (the placement without its scale, as displayed
    // when the page-view flag is set) puts mElementBox, in user space.
    void NotePlacedBox(const ASFixedMatrix& inRotated);
    // mPlaced from mNoted.
    void WorkOutPlacedBox() const;
    // mTurn for mRotation, worked out again only when the rotation changed.
    const Turn& TurnForRotation();
    // The corners of mElementBox turned by the rotation; the last box's are
    // kept, as the text's writer places one box several times.
    Corners CornersOfElementBox(const Turn& inTurn);

    // The translation of the placement table, in fixed units, from the corner
    // vectors of the rotated element box.
    ASFixed TranslationX(double inX1, double inX2) const;
    ASFixed TranslationY(double inY1, double inY2) const;

    bool mAlignRotatedBox = true;
    int32_t mHorizontalAlign = kAlignLeft;
    int32_t mVerticalAlign = kAlignBottom;
    double mScaleX = 1.0;
    double mScaleY = 1.0;
    double mOffsetX = 0.0;
    double mOffsetY = 0.0;
    double mRotation = 0.0;
    bool mPageView = true;
    // The page whose geometry was read last (null: none), its box, its
    // default matrix, that box as displayed, and the matrix back from the
    // displayed page (when the default matrix can be inverted).
    PDPage mKnownPage = nullptr;
    ASFixedRect mKnownPageBox{0, 0, 0, 0};
    ASFixedMatrix mKnownDefaultMatrix{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    ASFixedRect mKnownViewPageBox{0, 0, 0, 0};
    ASFixedMatrix mKnownInverse{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    bool mKnownInvertible = false;
    Turn mTurn;
    // What the last Compute placed, kept until the box is asked for.
    struct NotedPlacement {
        ASFixedRect box;
        ASFixedMatrix rotated;
        ASFixedMatrix view;  // from user space as displayed to user space
        bool fromCompute;    // mPlaced is still to be worked out from these
    };
    static constexpr ASFixedMatrix kIdentity{kASFixedOne, 0, 0, kASFixedOne, 0, 0};
    mutable NotedPlacement mNoted{{0, 0, 0, 0}, kIdentity, kIdentity, false};
    // The placed box, in the page's user space (left <= right, bottom <= top).
    struct PlacedBox {
        double left, bottom, right, top;
        bool known;
    };
    static constexpr PlacedBox kNotPlaced{0, 0, 0, 0, false};
    mutable PlacedBox mPlaced = kNotPlaced;
    // The element box and rotation whose corners were worked out last.
    bool mHaveCorners = false;
    ASFixedRect mCornersBox{0, 0, 0, 0};
    double mCornersRotation = 0.0;
    Corners mCorners;
};
