// Reading content streams into the page-content model (the streams of an array
// as one content, see PdeContentParser). Damaged content is read as far as it
// goes: unbalanced q/Q and EMC, unknown operators (kept as they are), missing
// resources, broken inline images and forms that would contain themselves each
// leave a warning on the content.
#pragma once

#include <memory>
#include <vector>

#include <qpdf/QPDFObjectHandle.hh>

#include "pde/PdeModel.h"

namespace qmhost {

// Reads contents (a stream or an array of streams) drawn with resources (may be
// null). ancestors: the form XObjects that hold this content, to stop a cycle.
std::shared_ptr<PdeContent> readPdeContent(QPDFObjectHandle contents, QPDFObjectHandle resources,
                                           uint32_t serial, std::vector<QPDFObjGen> ancestors);

}  // namespace qmhost
