// The warnings of the latest open (PDModel docOpen): damage that qpdf repaired
// while reading the file, one line each naming the file. The callers that open
// a document for a user show them, as they show a save's warnings.
#pragma once

#include <string>
#include <vector>

namespace qmhost {

// Empty after an open without warnings, and after a failed open.
const std::vector<std::string>& lastOpenWarnings();
void setLastOpenWarnings(std::vector<std::string> warnings);

}  // namespace qmhost
