// The JPEG type's source manager: libjpeg reads its input from a
// CBridgeStream through it, 4096 bytes at a time.
#pragma once

#include <cstdio>

#include <jpeglib.h>

class CBridgeStream;

constexpr size_t kJpegSourceBufferSize = 4096;

struct JpegStreamSource {
    jpeg_source_mgr pub;    // first: libjpeg sees a jpeg_source_mgr
    CBridgeStream* stream;  // open for reading; not owned
    JOCTET* buffer;         // kJpegSourceBufferSize bytes from the permanent pool
    boolean startOfFile;
};

// Installs the source on cinfo (allocated once per decompressor from
// libjpeg's permanent pool; a later call reuses it). Calls into libjpeg's
// memory manager: run it inside JpegProtected.
void InstallJpegStreamSource(j_decompress_ptr cinfo, CBridgeStream* stream);
