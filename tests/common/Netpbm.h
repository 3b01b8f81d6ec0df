// Netpbm images as poppler's tools write them (pdftoppm draws pages into them,
// pdfimages extracts images into them), read back for pixel probes.
#pragma once

#include <cstddef>
#include <string>

namespace qmtest {

struct Netpbm {
    int width = 0;
    int height = 0;
    int components = 0;  // 1 (P5) or 3 (P6); P4 bitmaps are expanded to 0/255 gray
    std::string bytes;   // rows top to bottom, the components of a pixel together

    // Component c of the pixel at (x, y) from the top-left corner, 0..255; -1
    // outside the image.
    int sample(int x, int y, int c = 0) const;
    // Component c of every pixel, in order (the gray of a gray image written as
    // RGB, the red of a colour one).
    std::string plane(int c = 0) const;
    // Pixels whose first component is below threshold: ink on a white page.
    size_t darkPixels(int threshold = 128) const;
};

// A P4, P5 or P6 file of 8-bit samples; std::runtime_error naming the path when
// the file is not one or is cut short.
Netpbm readNetpbm(const std::string& path);

// Page (from 1) of pdf drawn by pdftoppm at dpi, in gray or in colour, into
// stem.pgm or stem.ppm and read back; options are more pdftoppm options ("-x 10
// -y 10 -W 50 -H 50"). The test fails, and the image is empty, when pdftoppm
// fails or reports an error (a font program or image it could not read).
Netpbm drawPage(const std::string& pdf, const std::string& stem, int dpi, bool gray, int page = 1,
                const std::string& options = "");

}  // namespace qmtest
