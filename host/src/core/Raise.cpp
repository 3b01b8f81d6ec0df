#include "core/Raise.h"

#include <map>
#include <new>
#include <stdexcept>

namespace qmhost {
namespace {

int32_t gLastCode = 0;
std::map<int32_t, std::string>& lastMessages() {
    static auto* messages = new std::map<int32_t, std::string>;
    return *messages;
}

}  // namespace

const char* errorCodeText(int32_t code) {
    switch (code) {
        case kHostErrGeneric: return "The operation failed.";
        case kHostErrNoMemory: return "Out of memory.";
        case kHostErrBadParameter: return "A bad parameter was passed to the host.";
        case kHostErrBadHandle: return "The object or document no longer exists.";
        case kHostErrBadType: return "The object has the wrong type for this operation.";
        case kHostErrBadIndex: return "The index is out of range.";
        case kHostErrFileNotFound: return "The file was not found.";
        case kHostErrFileOpen: return "The file could not be opened.";
        case kHostErrFileRead: return "The file could not be read.";
        case kHostErrFileWrite: return "The file could not be written.";
        case kHostErrPathTooLong: return "The path is too long.";
        case kHostErrBadPDF: return "The file is not a PDF file or is damaged.";
        case kHostErrEncrypted: return "The document is encrypted and needs a password.";
        case kHostErrFilter: return "The stream uses a filter that is not supported.";
        case kHostErrStream: return "A stream operation failed.";
        case kHostErrNotFound: return "Not found.";
        case kHostErrCancelled: return "Cancelled.";
        case kHostErrUnsupported: return "The host does not offer this operation.";
        case kHostErrBadImage: return "The file is not an image the host can read, or it is damaged.";
        default: return "";
    }
}

void raise(int32_t code, const std::string& message) {
    gLastCode = code;
    const std::string text = message.empty() ? std::string(errorCodeText(code)) : message;
    lastMessages()[code] = text;
    throw HostError(code, text);
}

void raise(int32_t code) { raise(code, std::string()); }

int32_t lastErrorCode() { return gLastCode; }

std::string lastErrorMessage(int32_t code) {
    auto it = lastMessages().find(code);
    return it == lastMessages().end() ? std::string(errorCodeText(code)) : it->second;
}

void rethrowAsHostError(const char* context) {
    try {
        throw;
    } catch (const HostError& e) {
        gLastCode = e.code();
        lastMessages()[e.code()] = e.what();
        throw;
    } catch (const std::bad_alloc&) {
        raise(kHostErrNoMemory, std::string(context) + ": out of memory");
    } catch (const std::exception& e) {
        raise(kHostErrGeneric, std::string(context) + ": " + e.what());
    } catch (...) {
        raise(kHostErrGeneric, std::string(context) + ": unknown failure");
    }
}

}  // namespace qmhost
