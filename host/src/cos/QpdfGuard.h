// The guard that every Cos and PDModel entry runs its body in: no qpdf
// exception leaves a table entry; each becomes a HostError whose message names
// the operation and the object or document it was about.
#pragma once

#include <string>

#include "core/ExceptionTrap.h"
#include "cos/Document.h"

namespace qmhost {

// Turns the exception in flight into a HostError and throws it. HostError passes
// unchanged; std::bad_alloc -> kHostErrNoMemory; a qpdf file exception ->
// kHostErrBadPDF (kHostErrEncrypted for a password error, kHostErrFileRead for a
// system error); anything else -> kHostErrGeneric. `where` names the subject.
// Call only from inside a catch block.
[[noreturn]] void rethrowQpdfError(const char* op, const std::string& where);

// Runs body; failures leave it as HostError naming op and the object.
template <class F>
auto cosGuarded(const char* op, CosObj subject, F&& body) -> decltype(body()) {
    return trapFailure(body, [&]() -> decltype(body()) { rethrowQpdfError(op, describeObject(subject)); });
}

// Runs body; failures leave it as HostError naming op and the document.
template <class F>
auto docGuarded(const char* op, Document& document, F&& body) -> decltype(body()) {
    return trapFailure(body, [&]() -> decltype(body()) { rethrowQpdfError(op, document.displayName()); });
}

}  // namespace qmhost
