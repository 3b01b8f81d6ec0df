// PDF files for the page-content model's tests, written with qpdf: one page
// that holds each kind of element (paths, a clip, text, marked content, an image
// XObject, an inline image, a rotated form holding an image and a nested form),
// and files with a page content of the caller's choosing. Also a pixel
// comparison of two files' first pages through pdftoppm.
#pragma once

#include <string>

namespace qmtest {

// The page of writeElementsPdf (200 x 200 points) holds, in order:
//  0 path: a red line along y = 10 from x = 10 to 190
//  1 path: a green square filling 0..200, clipped to 20..80
//  2 text "Hello" at (100, 150) in /F1 (Helvetica) 12
//  3 container /Span (inline dict, MCID 0) holding an image /Im1 placed at (120, 20) 50 x 50
//  4 container /P (/Properties /P1) holding text "Marked"
//  5 form /Fm1, rotated 45 degrees about (100, 80), scaled 0.5 by its /Matrix; it holds
//      an image /Im1 placed 40 x 40 at its origin, and form /Fm2, which holds a blue
//      20 x 20 square and an inline 2 x 2 gray image placed 10 x 10 at (25, 0)
//  6 inline image: 2 x 2 DeviceGray, placed 30 x 20 at (10, 100)
// /Im1 is a 2 x 2 DeviceRGB image (red, green / blue, white).
void writeElementsPdf(const std::string& path);

// A one-page file (200 x 200) with this content, drawn with resources that hold
// /F1 (Helvetica), /Im1 (the RGB image above) and, when given, formA and formB
// as form XObjects /FmA and /FmB (BBox 0 0 200 200) that draw with the same
// resources, so a form may place itself or the other.
void writeContentPdf(const std::string& path, const std::string& content, const std::string& formA = "",
                     const std::string& formB = "");

// The share of pixels (0..1) of the first pages of a and b, drawn by pdftoppm at
// dpi, whose colour differs by more than tolerance in a channel; 1 when either
// cannot be drawn or the sizes differ.
double pixelDifference(const std::string& a, const std::string& b, int dpi = 72, int tolerance = 48);

// The RGB of the pixel at (x, y) points (y up) of a file's first page drawn at
// dpi; -1 values when it cannot be drawn.
struct Rgb {
    int r = -1, g = -1, b = -1;
};
Rgb pixelAt(const std::string& path, double x, double y, int dpi = 72);

}  // namespace qmtest
