#include "stamper/StampingPermission.h"

#include <cstdint>
#include <vector>

#include "support/CallbackGuard.h"
#include "support/HostTables.h"
#include "support/TableMembers.h"

namespace {

const char kUnreadable[] = "its security settings cannot be read";

// "printing", "printing and changes", "printing, changes and notes".
std::string Listed(const std::vector<const char*>& inWords) {
    std::string text;
    for (size_t i = 0; i < inWords.size(); ++i)
        text += std::string(i == 0 ? "" : i + 1 == inWords.size() ? " and " : ", ") + inWords[i];
    return text;
}

}  // namespace

std::string StampingForbiddenReason(PDDoc inDoc) {
    if (!inDoc || !TableHasMember(gPDModelHFT, &PDModelTable::docGetPermissions)) return kUnreadable;
    return TrapFailure(
        [&] {
            const uint32_t word = gPDModelHFT->docGetPermissions(inDoc);
            std::vector<const char*> forbidden;
            if (!(word & kPDPermPrint)) forbidden.push_back("printing");
            if (!(word & kPDPermModify)) forbidden.push_back("changes");
            if (!(word & kPDPermAnnotate)) forbidden.push_back("notes");
            return forbidden.empty() ? std::string() : "its security settings forbid " + Listed(forbidden);
        },
        [] {
            const std::string why = DescribeCurrentException();
            return why.empty() ? std::string(kUnreadable) : std::string(kUnreadable) + ": " + why;
        });
}

std::string StampingRefusal(const std::string& inProfile, const std::string& inReason) {
    const std::string with = inProfile.empty() ? std::string() : " with \"" + inProfile + "\"";
    return "the document may not be stamped" + with + " (" + inReason + ")";
}
