#include "engine/JpegErrors.h"

#include <cstdlib>

#include "support/Alerts.h"
#include "support/CallbackGuard.h"

namespace {

JpegErrorManager& ManagerOf(j_common_ptr cinfo) {
    return *reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

// Runs inside libjpeg's frames: nothing may be thrown out of it. A fatal
// error's text is a note (the load fails with it); any other message comes
// from a corrupt but readable image whose read goes on: a warning.
void ShowMessage(j_common_ptr cinfo, bool inFatal) {
    char text[JMSG_LENGTH_MAX] = {};
    (*cinfo->err->format_message)(cinfo, text);
    // An alert that cannot be shown loses the text, not the read.
    TrapRun([&] {
        if (inFatal)
            ShowAlert(text);
        else
            ShowWarning(text);
    });
}

void OutputMessage(j_common_ptr cinfo) { ShowMessage(cinfo, false); }

[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    JpegErrorManager& errors = ManagerOf(cinfo);
    errors.lastCode = cinfo->err->msg_code;
    ShowMessage(cinfo, true);
    jpeg_abort(cinfo);
    if (!errors.armed) {
        // Every entry into libjpeg goes through JpegProtected; getting here
        // means one does not, and returning into libjpeg is not allowed.
        std::abort();
    }
    errors.armed = false;
    std::longjmp(errors.jump, 1);
}

}  // namespace

void InitJpegErrorManager(JpegErrorManager& errors) {
    jpeg_std_error(&errors.pub);
    errors.pub.error_exit = ErrorExit;
    errors.pub.output_message = OutputMessage;
    errors.armed = false;
    errors.lastCode = 0;
}

bool JpegProtected(j_common_ptr cinfo, JpegStep step, void* argument) {
    JpegErrorManager& errors = ManagerOf(cinfo);
    if (setjmp(errors.jump) != 0) return false;
    errors.armed = true;
    step(cinfo, argument);
    errors.armed = false;
    return true;
}
