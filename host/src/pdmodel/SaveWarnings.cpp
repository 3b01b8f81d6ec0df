#include "pdmodel/SaveWarnings.h"

#include "pdmodel/SavePreparation.h"

namespace qmhost {
namespace {

std::vector<std::string>& warnings() {
    // Never destroyed: saves may run while statics go down.
    static auto* list = new std::vector<std::string>;
    return *list;
}

SavePreparer gPreparer = nullptr;

}  // namespace

void setSavePreparer(SavePreparer preparer) { gPreparer = preparer; }

SavePreparer savePreparer() { return gPreparer; }

const std::vector<std::string>& lastSaveWarnings() { return warnings(); }

void setLastSaveWarnings(std::vector<std::string> list) { warnings() = std::move(list); }

}  // namespace qmhost
