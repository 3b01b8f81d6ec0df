#include "core/ExceptionTrap.h"
#include "core/TableRegistry.h"

#include "core/Callbacks.h"
#include "core/Raise.h"
#include "qmhost/AppSupportTable.h"

namespace qmhost {

void TableRegistry::add(const std::string& name, uint32_t version, const void* table) {
    mTables[{name, version}] = table;
}

void TableRegistry::withhold(const std::string& name, uint32_t version) {
    mWithheld.insert({name, version});
}

void TableRegistry::unwithhold(const std::string& name, uint32_t version) { mWithheld.erase({name, version}); }

void TableRegistry::clearWithheld() { mWithheld.clear(); }

void TableRegistry::substitute(const std::string& name, uint32_t version, const void* table) {
    mSubstitutes[{name, version}] = table;
}

void TableRegistry::unsubstitute(const std::string& name, uint32_t version) { mSubstitutes.erase({name, version}); }

const void* TableRegistry::find(const std::string& name, uint32_t version) {
    if (mWithheld.count({name, 0}) || mWithheld.count({name, version})) return nullptr;
    auto substitute = mSubstitutes.find({name, version});
    if (substitute != mSubstitutes.end()) return substitute->second;
    auto it = mTables.find({name, version});
    if (it != mTables.end()) return it->second;
    for (size_t i = 0; i < mServers.size(); ++i) {
        Server& server = mServers[i];
        if (!server.alive || server.name != name) continue;
        auto provide = callbacks().as<HFTServerProvideProc>(server.provide);
        if (!provide) return nullptr;
        HFTServer handle = reinterpret_cast<HFTServer>(static_cast<uintptr_t>(i + 1));
        // A plug-in's exception never crosses into the caller.
        return trapped<const void*>(nullptr, [&] { return provide(handle, version, server.clientData); });
    }
    return nullptr;
}

const void* TableRegistry::request(const std::string& name, uint32_t version) {
    const void* table = find(name, version);
    if (mObserver) mObserver(name, version, table != nullptr);
    return table;
}

void TableRegistry::observeRequests(RequestObserver observer) { mObserver = std::move(observer); }

HFTServer TableRegistry::addServer(const std::string& name, ASCallback provide,
                                   void* clientData, ExtensionID extension) {
    for (const Server& server : mServers)
        if (server.alive && server.name == name) return nullptr;
    mServers.push_back({name, provide, clientData, extension, true});
    return reinterpret_cast<HFTServer>(static_cast<uintptr_t>(mServers.size()));
}

HFT TableRegistry::newServedTable(int32_t entryCount) {
    if (entryCount < 0 || entryCount > 4096) raise(kHostErrBadParameter, "newTable: bad entry count");
    auto table = std::make_unique<ServedTable>();
    table->entries.assign(static_cast<size_t>(entryCount), nullptr);
    mServed.push_back(std::move(table));
    return reinterpret_cast<HFT>(static_cast<uintptr_t>(mServed.size()));
}

ServedTable* TableRegistry::servedTable(HFT table) {
    const uintptr_t n = reinterpret_cast<uintptr_t>(table);
    if (n == 0 || n > mServed.size()) return nullptr;
    return mServed[n - 1].get();
}

void TableRegistry::forgetExtension(ExtensionID extension) {
    for (Server& server : mServers)
        if (server.extension == extension) server.alive = false;
}

TableRegistry& tables() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static TableRegistry* registry = new TableRegistry;
    return *registry;
}

}  // namespace qmhost
