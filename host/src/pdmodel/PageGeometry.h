// The displayed box and the default matrix of a page.
#pragma once

#include <qpdf/QPDFObjectHandle.hh>

#include "qmhost/QMBase.h"

namespace qmhost {

// What a page is shown as: its displayed box and its rotation.
struct PageGeometry {
    ASFixedRect box;  // as displayedPageBox answers it
    int rotation;     // as pageRotation answers it
};

// The page's crop box, else its media box (either may be inherited from the page
// tree), else US Letter [0 0 612 792]; normalised (left <= right, bottom <= top),
// in 16.16 points.
ASFixedRect displayedPageBox(QPDFObjectHandle page);

// The page's /Rotate (inherited) as 0, 90, 180 or 270: any multiple of 90,
// negative ones too; other values are rounded to the nearest multiple of 90.
int pageRotation(QPDFObjectHandle page);

// Both of the above from one walk up the page tree.
PageGeometry pageGeometry(QPDFObjectHandle page);

// The matrix from user space to the displayed page for a normalised box and a
// rotation of 0, 90, 180 or 270 degrees clockwise: the displayed box's lower-left
// corner at the origin, y up.
ASFixedMatrix defaultPageMatrix(const ASFixedRect& box, int rotation);

}  // namespace qmhost
