// Warnings of a stamping run or of one document of a batch sequence that are
// given once: the first warning of each kind in a run is shown (through the
// host's warning, which fails nothing), later ones of that kind are not. Also
// the warning for a document that carries digital signatures.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

// A new run (a stamping run, a document of a batch sequence): every kind may
// warn again.
void BeginRunWarnings();

// Shows text as a warning unless a warning of that kind was shown since the
// last BeginRunWarnings. Never throws.
void WarnOncePerRun(const std::string& inKind, const std::string& inText);

// True when the document holds a signed signature field (a field of type
// /Sig with a value) or its form says that signatures exist (/SigFlags bit 1).
// Reads only; false for a document it cannot read. Never throws.
bool HasDigitalSignatures(PDDoc inDoc);

// Warns once per run and document when inDoc carries digital signatures: the
// stamps change the document, so the signatures no longer cover it.
void WarnIfSigned(PDDoc inDoc);
