// Tables registered by name and version, tables served by plug-ins, and the
// switch with which tests withhold a table or one of its versions.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmhost {

// A table made by a plug-in: numbered entries holding callbacks.
struct ServedTable {
    std::vector<ASCallback> entries;  // entries[0] is entry 1
};

class TableRegistry {
public:
    void add(const std::string& name, uint32_t version, const void* table);
    // Withholds one version, or every version when version is 0.
    void withhold(const std::string& name, uint32_t version = 0);
    // Ends withholding what withhold(name, version) withheld.
    void unwithhold(const std::string& name, uint32_t version = 0);
    void clearWithheld();
    // Offers table under name and version in place of the registered one until
    // the substitute is taken back (a table that is not registered becomes
    // offered); registering again does not undo it. Tests wrap the real tables so.
    void substitute(const std::string& name, uint32_t version, const void* table);
    void unsubstitute(const std::string& name, uint32_t version);
    // Null when absent or withheld. Served tables are asked for by their server.
    const void* find(const std::string& name, uint32_t version);
    // A table asked for by a plug-in (Core getTable): found as find() finds it,
    // and told to the observer, if any. The loader observes the requests of a
    // plug-in's setup to explain a failed setup by the tables it did not find.
    using RequestObserver = std::function<void(const std::string& name, uint32_t version, bool found)>;
    const void* request(const std::string& name, uint32_t version);
    void observeRequests(RequestObserver observer);  // an empty observer ends observing

    // Plug-in servers. Null when the name is taken.
    HFTServer addServer(const std::string& name, ASCallback provide, void* clientData,
                        ExtensionID extension);
    HFT newServedTable(int32_t entryCount);
    ServedTable* servedTable(HFT table);
    void forgetExtension(ExtensionID extension);

private:
    struct Server {
        std::string name;
        ASCallback provide;
        void* clientData;
        ExtensionID extension;
        bool alive;
    };
    std::map<std::pair<std::string, uint32_t>, const void*> mTables;
    RequestObserver mObserver;
    std::set<std::pair<std::string, uint32_t>> mWithheld;
    std::map<std::pair<std::string, uint32_t>, const void*> mSubstitutes;
    std::vector<Server> mServers;
    std::vector<std::unique_ptr<ServedTable>> mServed;
};

TableRegistry& tables();

}  // namespace qmhost
