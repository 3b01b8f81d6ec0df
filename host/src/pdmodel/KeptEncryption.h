// A document read from an encrypted file is written encrypted as it was: qpdf's
// writer takes the key length again from the encryption dictionary's /Length.
// Its reader is more forgiving: when /Length is missing or not a number it goes
// on with the key length that the password check confirms. Written with the
// length the dictionary gives, such a document's strings and streams would
// decrypt to garbage, and the file would be lost to every reader.
#pragma once

#include <string>

#include <qpdf/QPDF.hh>

namespace qmhost {

// Raises kHostErrFileWrite "cannot write <path>: ..." naming the document's
// file and its /Length when qpdf's writer would encrypt the document with
// another key than the one it was read with; nothing for a document that is
// not encrypted or is written back readable.
void refuseUnreadableEncryption(QPDF& qpdf, const std::string& path);

}  // namespace qmhost
