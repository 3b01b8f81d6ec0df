// libjpeg's error manager for the JPEG image type, and the one place where
// libjpeg is entered: JpegProtected runs a step with a setjmp armed, so that
// libjpeg's error exit leaves the library by longjmp back into it. No C++
// object with a destructor may live in a step or between the two; callers
// turn a false answer into an in-house error afterwards.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

struct JpegErrorManager {
    jpeg_error_mgr pub;  // first: libjpeg sees a jpeg_error_mgr
    std::jmp_buf jump;
    bool armed = false;  // whether jump belongs to a running JpegProtected
    int lastCode = 0;    // the message code of the last fatal error
};

// Sets up libjpeg's standard manager with the error exit and the output
// message replaced: fatal errors show their message and jump back; messages
// (the first warning of a read among them) are shown as alerts.
void InitJpegErrorManager(JpegErrorManager& errors);

// A step inside libjpeg: a plain function, no C++ objects with destructors.
typedef void (*JpegStep)(j_common_ptr cinfo, void* argument);

// Runs step(cinfo, argument); false when libjpeg's error exit was taken (the
// decompression is then aborted). cinfo->err must be a JpegErrorManager.
bool JpegProtected(j_common_ptr cinfo, JpegStep step, void* argument);
