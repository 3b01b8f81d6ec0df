// The image behind an AVIcon (AppViewTable.h): width x height pixels, rows
// from the top, each pixel 0xAARRGGBB (not premultiplied). The giver keeps it
// alive and unchanged for as long as the item or button that shows it lives;
// the host copies nothing. An AVIcon is a pointer to one, cast.
#pragma once

#include <cstdint>

struct AVIconData {
    int32_t width;
    int32_t height;
    const uint32_t* pixels;
};

