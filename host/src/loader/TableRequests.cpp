#include "loader/TableRequests.h"

#include <algorithm>
#include <cstdio>

#include "core/TableRegistry.h"

namespace qmhost {

void TableRequests::begin() {
    mRequests.clear();
    tables().observeRequests(
        [this](const std::string& name, uint32_t version, bool found) { note(name, version, found); });
}

void TableRequests::end() { tables().observeRequests({}); }

void TableRequests::note(const std::string& name, uint32_t version, bool found) {
    mRequests.push_back({name, version, found});
}

std::vector<std::string> TableRequests::missing() const {
    std::vector<std::string> names;
    for (const Request& r : mRequests) {
        const bool foundSomewhere = std::any_of(mRequests.begin(), mRequests.end(), [&](const Request& o) {
            return o.name == r.name && o.found;
        });
        if (foundSomewhere) continue;
        if (std::find(names.begin(), names.end(), r.name) == names.end()) names.push_back(r.name);
    }
    std::vector<std::string> described;
    for (const std::string& name : names) {
        std::string versions;
        for (const Request& r : mRequests) {
            if (r.name != name) continue;
            char text[16];
            std::snprintf(text, sizeof text, "0x%X", r.version);
            versions += (versions.empty() ? "" : ", ") + std::string(text);
        }
        described.push_back("\"" + name + "\" (versions tried: " + versions + ")");
    }
    return described;
}

TableRequests& tableRequests() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static TableRequests* requests = new TableRequests;
    return *requests;
}

}  // namespace qmhost
