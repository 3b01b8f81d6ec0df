// Whether a document's security settings let it be stamped. Stamping needs
// printing, changes and notes allowed, all three (the permission bits
// kPDPermPrint, kPDPermModify and kPDPermAnnotate). Whoever opened the
// document with its owner password has every right; the host answers so.
// Every road that stamps a document asks this first: the stamping run (menu
// item, stamp manager, command line) and the batch command for each file.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

// Empty when inDoc may be stamped; otherwise why not, to end a sentence: "its
// security settings forbid printing and changes", or "its security settings
// cannot be read" (a host that does not tell the permission word, or that
// fails to). Never throws.
std::string StampingForbiddenReason(PDDoc inDoc);

// The refusal shown for such a document: "the document may not be stamped
// with "<profile>" (<reason>)", without the profile part when inProfile is
// empty.
std::string StampingRefusal(const std::string& inProfile, const std::string& inReason);
