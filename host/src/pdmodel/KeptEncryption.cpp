#include "pdmodel/KeptEncryption.h"

#include <algorithm>

#include "core/Raise.h"

namespace qmhost {
namespace {

// The key size in bytes qpdf's writer derives from /Length: revision 2 to 4
// keys are an MD5 digest cut to /Length / 8 bytes (at most 16); a /Length that
// is not an integer counts as 0.
long long writtenKeyBytes(QPDFObjectHandle length) {
    const long long bits = length.isInteger() ? length.getIntValue() : 0;
    return std::min(bits / 8, 16LL);
}

std::string lengthText(QPDFObjectHandle length) {
    if (length.isNull()) return "has no /Length";
    if (!length.isInteger()) return "has a /Length that is no integer (" + length.unparse() + ")";
    return "gives /Length " + std::to_string(length.getIntValue());
}

}  // namespace

void refuseUnreadableEncryption(QPDF& qpdf, const std::string& path) {
    int revision = 0, permissions = 0, version = 0;
    QPDF::encryption_method_e streams, strings, files;
    if (!qpdf.isEncrypted(revision, permissions, version, streams, strings, files)) return;
    // Below version 2 the key is always 40 bits; from version 5 the writer
    // copies the key itself and /Length plays no part.
    if (version < 2 || version > 4) return;
    QPDFObjectHandle length = qpdf.getTrailer().getKey("/Encrypt").getKey("/Length");
    const size_t keyBytes = qpdf.getEncryptionKey().size();
    if (writtenKeyBytes(length) == static_cast<long long>(keyBytes)) return;
    raise(kHostErrFileWrite, "cannot write " + path + ": the encryption dictionary of " + qpdf.getFilename() + " " +
                                 lengthText(length) + " for its " + std::to_string(keyBytes * 8) +
                                 "-bit key, and the document would be saved unreadable");
}

}  // namespace qmhost
