// The warnings of the latest save (PDModel docSave): things written otherwise
// than asked that the user should hear of, such as an embedded font written
// whole because it could not be subset. The callers that save for a user show
// them: the view's save as alerts, batch sequences as report lines.
#pragma once

#include <string>
#include <vector>

namespace qmhost {

// Empty after a save without warnings, and after a failed save.
const std::vector<std::string>& lastSaveWarnings();
void setLastSaveWarnings(std::vector<std::string> warnings);

}  // namespace qmhost
