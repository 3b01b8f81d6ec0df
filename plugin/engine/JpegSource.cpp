#include "engine/JpegSource.h"

#include <jerror.h>

#include "support/CallbackGuard.h"
#include "support/io/CBridgeStream.h"

namespace {

JpegStreamSource& SourceOf(j_decompress_ptr cinfo) {
    return *reinterpret_cast<JpegStreamSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr cinfo) {
    SourceOf(cinfo).startOfFile = TRUE;
}

// Reads the next bytes; never lets a C++ exception into libjpeg.
size_t ReadStream(JpegStreamSource& source, bool& failed) {
    failed = false;
    return TrapFailure([&] { return source.stream->Read(source.buffer, kJpegSourceBufferSize); },
                       [&]() -> size_t {
                           failed = true;
                           return 0;
                       });
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    JpegStreamSource& source = SourceOf(cinfo);
    bool failed = false;
    size_t count = ReadStream(source, failed);
    // The error exits below leave by longjmp: nothing with a destructor is alive here.
    if (failed) ERREXIT(cinfo, JERR_FILE_READ);
    if (count == 0) {
        if (source.startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        // A file cut short: warn and end the image with an end-of-image
        // marker, so that the rest of the image decodes as blank.
        WARNMS(cinfo, JWRN_JPEG_EOF);
        source.buffer[0] = 0xFF;
        source.buffer[1] = JPEG_EOI;
        count = 2;
    }
    source.pub.next_input_byte = source.buffer;
    source.pub.bytes_in_buffer = count;
    source.startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    JpegStreamSource& source = SourceOf(cinfo);
    size_t left = size_t(count);
    while (left > source.pub.bytes_in_buffer) {
        left -= source.pub.bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    source.pub.next_input_byte += left;
    source.pub.bytes_in_buffer -= left;
}

void TermSource(j_decompress_ptr) {}

}  // namespace

void InstallJpegStreamSource(j_decompress_ptr cinfo, CBridgeStream* stream) {
    if (cinfo->src == nullptr) {
        auto* source = static_cast<JpegStreamSource*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegStreamSource)));
        source->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kJpegSourceBufferSize));
        cinfo->src = &source->pub;
    }
    JpegStreamSource& source = SourceOf(cinfo);
    source.pub.init_source = InitSource;
    source.pub.fill_input_buffer = FillInputBuffer;
    source.pub.skip_input_data = SkipInputData;
    source.pub.resync_to_restart = jpeg_resync_to_restart;
    source.pub.term_source = TermSource;
    source.pub.next_input_byte = nullptr;
    source.pub.bytes_in_buffer = 0;
    source.stream = stream;
    source.startOfFile = TRUE;
}
