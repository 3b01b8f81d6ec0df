#include "view/ActionPrompts.h"

namespace qmhost {
namespace {

const ActionPrompts* gPrompts = nullptr;

}  // namespace

void setActionPrompts(const ActionPrompts* prompts) { gPrompts = prompts; }

std::optional<std::string> askLaunchFile(const std::string& current) {
    if (!gPrompts || !gPrompts->askLaunchFile) return std::nullopt;
    return gPrompts->askLaunchFile(current);
}

std::optional<std::string> askUri(const std::string& current) {
    if (!gPrompts || !gPrompts->askUri) return std::nullopt;
    return gPrompts->askUri(current);
}

}  // namespace qmhost
