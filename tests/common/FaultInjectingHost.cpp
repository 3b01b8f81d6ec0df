#include "common/FaultInjectingHost.h"

#include "core/TableRegistry.h"

namespace qmtest {
namespace {

constexpr uint32_t kOfferedVersions[] = {kTableVersion5_1, kTableVersion5_0, kTableVersion4_5, kTableVersion4_0};

bool gHostAlive = false;

}  // namespace

FaultInjectingHost::FaultInjectingHost() {
    // The wrappers keep their state in statics: a second host would share it.
    if (gHostAlive) throw std::logic_error("one fault-injecting host at a time");
    gHostAlive = true;
}

FaultInjectingHost::~FaultInjectingHost() {
    for (auto it = mUndo.rbegin(); it != mUndo.rend(); ++it) (*it)();
    gHostAlive = false;
}

FaultInjectingHost& FaultInjectingHost::WithholdVersion(const std::string& name, uint32_t version) {
    qmhost::tables().withhold(name, version);
    mUndo.push_back([name, version] { qmhost::tables().unwithhold(name, version); });
    return *this;
}

FaultInjectingHost& FaultInjectingHost::Offer(const std::string& name, uint32_t version, const void* table) {
    qmhost::tables().substitute(name, version, table);
    mUndo.push_back([name, version] { qmhost::tables().unsubstitute(name, version); });
    return *this;
}

const void* FaultInjectingHost::RegisteredTable(const char* name) {
    const void* table = qmhost::tables().find(name, kTableVersion5_1);
    if (!table) throw std::logic_error(std::string("the host offers no table \"") + name + "\"");
    return table;
}

void FaultInjectingHost::SubstituteEverywhere(const std::string& name, const void* copy) {
    for (uint32_t version : kOfferedVersions)
        if (qmhost::tables().find(name, version)) Offer(name, version, copy);
}

}  // namespace qmtest
