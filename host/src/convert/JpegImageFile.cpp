// JPEG files kept as their DCT data: libjpeg reads the header for the size and
// components and then runs through the entropy-coded data once, so that a cut
// or damaged file is refused instead of becoming a page with a grey band.
#include "core/Raise.h"
#include "cos/JpegErrorTrap.h"
#include "convert/ImagePixels.h"

#include <jerror.h>

namespace qmhost {
namespace {

struct JpegProbe {
    const unsigned char* data;
    unsigned long size;
    JDIMENSION width;
    JDIMENSION height;
    int components;
    int precision;
    bool app14;
    bool readThrough;  // false when the header alone was read (too large)
};

// Drives libjpeg; see JpegErrorTrap.h for why nothing here has a destructor.
bool probeJpeg(jpeg_decompress_struct* info, JpegErrorTrap* trap, JpegProbe* probe) {
    // libjpeg's memory source supplies an end marker at a premature end and
    // only warns; here that warning is the failure it is.
    installJpegErrorTrap(reinterpret_cast<j_common_ptr>(info), trap, JWRN_JPEG_EOF);
    if (setjmp(trap->jump)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, probe->data, probe->size);
    jpeg_read_header(info, TRUE);
    probe->width = info->image_width;
    probe->height = info->image_height;
    probe->components = info->num_components;
    probe->precision = info->data_precision;
    probe->app14 = info->saw_Adobe_marker;
    probe->readThrough = static_cast<uint64_t>(probe->width) * probe->height <= kMaxImagePixels &&
                         probe->width > 0 && probe->height > 0;
    if (probe->readThrough) {
        // Every entropy-coded byte is read; the pixels themselves are not
        // wanted, so libjpeg makes the smallest output it can.
        info->scale_num = 1;
        info->scale_denom = 8;
        info->dct_method = JDCT_IFAST;
        info->do_fancy_upsampling = FALSE;
        jpeg_start_decompress(info);
        JSAMPARRAY row = (*info->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(info), JPOOL_IMAGE,
                                                    info->output_width * static_cast<JDIMENSION>(info->output_components), 1);
        while (info->output_scanline < info->output_height) jpeg_read_scanlines(info, row, 1);
        jpeg_finish_decompress(info);
    }
    jpeg_destroy_decompress(info);
    return true;
}

}  // namespace

ImagePixels readJpegImage(const std::string& bytes, const std::string& name) {
    jpeg_decompress_struct info;
    JpegErrorTrap trap;
    JpegProbe probe{reinterpret_cast<const unsigned char*>(bytes.data()),
                    static_cast<unsigned long>(bytes.size()), 0, 0, 0, 0, false, false};
    if (!probeJpeg(&info, &trap, &probe))
        raise(kHostErrBadImage, name + " is not a readable JPEG image: " + trap.message);
    checkImageDimensions(probe.width, probe.height, name);
    if (probe.precision != 8)
        raise(kHostErrBadImage, name + " has " + std::to_string(probe.precision) +
                                    "-bit samples; JPEG images must have 8-bit samples");
    if (probe.components != 1 && probe.components != 3 && probe.components != 4)
        raise(kHostErrBadImage, name + " has " + std::to_string(probe.components) +
                                    " colour components; JPEG images must be gray, RGB or CMYK");
    ImagePixels image;
    image.width = static_cast<int32_t>(probe.width);
    image.height = static_cast<int32_t>(probe.height);
    image.components = probe.components;
    image.samples = bytes;
    image.dct = true;
    // CMYK files with the APP14 marker are written with inverted samples by
    // the programs that make them; readers of the page must invert them back.
    image.invertedCmyk = probe.components == 4 && probe.app14;
    return image;
}

}  // namespace qmhost
