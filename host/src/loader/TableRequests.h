// Records the tables asked for during a plug-in's setup, so that a failed
// setup can be explained by the table that the plug-in did not find.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qmhost {

class TableRequests {
public:
    // Observes the table registry's requests from begin() to end().
    void begin();
    void end();
    void note(const std::string& name, uint32_t version, bool found);
    // Tables asked for and found in no version, each with the versions tried.
    std::vector<std::string> missing() const;

private:
    struct Request {
        std::string name;
        uint32_t version;
        bool found;
    };
    std::vector<Request> mRequests;
};

TableRequests& tableRequests();

}  // namespace qmhost
