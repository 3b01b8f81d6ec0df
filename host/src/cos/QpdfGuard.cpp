#include "cos/QpdfGuard.h"

#include <new>
#include <stdexcept>

#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFSystemError.hh>

#include "core/Raise.h"

namespace qmhost {

void rethrowQpdfError(const char* op, const std::string& where) {
    const std::string prefix = std::string(op) + " (" + where + "): ";
    try {
        throw;
    } catch (const HostError&) {
        rethrowAsHostError(op);  // records it as the last error and passes it on
    } catch (const std::bad_alloc&) {
        raise(kHostErrNoMemory, prefix + "out of memory");
    } catch (const QPDFExc& e) {
        // QPDFExc's text already names the file, object and offset.
        int32_t code = kHostErrBadPDF;
        if (e.getErrorCode() == qpdf_e_password) code = kHostErrEncrypted;
        if (e.getErrorCode() == qpdf_e_system) code = kHostErrFileRead;
        raise(code, prefix + e.what());
    } catch (const QPDFSystemError& e) {
        raise(kHostErrFileRead, prefix + e.what());
    } catch (const std::exception& e) {
        raise(kHostErrGeneric, prefix + e.what());
    } catch (...) {
        raise(kHostErrGeneric, prefix + "unknown failure");
    }
}

}  // namespace qmhost
