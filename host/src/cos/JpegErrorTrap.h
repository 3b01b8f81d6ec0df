// Leaving libjpeg on its fatal errors without C++ exceptions: error_exit
// formats the message and longjmps to the setjmp of the one C-style function
// that drives libjpeg; that function holds nothing with a destructor between
// its setjmp and the libjpeg calls, and the caller raises the host error once
// libjpeg's frames are gone.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace qmhost {

struct JpegErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // Warnings that count as fatal (message codes; -1: none).
    int fatalWarning;
};

inline void leaveLibjpeg(j_common_ptr info) {
    JpegErrorTrap* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
    (*info->err->format_message)(info, trap->message);
    std::longjmp(trap->jump, 1);
}

// Warnings are dropped, except the one the trap names, which is fatal.
inline void onLibjpegMessage(j_common_ptr info, int level) {
    JpegErrorTrap* trap = reinterpret_cast<JpegErrorTrap*>(info->err);
    if (level < 0 && info->err->msg_code == trap->fatalWarning) leaveLibjpeg(info);
}

// Sets the trap up as info's error manager; call before creating the codec.
inline void installJpegErrorTrap(j_common_ptr info, JpegErrorTrap* trap, int fatalWarning = -1) {
    info->err = jpeg_std_error(&trap->manager);
    trap->manager.error_exit = leaveLibjpeg;
    trap->manager.emit_message = onLibjpegMessage;
    trap->message[0] = '\0';
    trap->fatalWarning = fatalWarning;
}

}  // namespace qmhost
