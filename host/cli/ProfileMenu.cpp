#include "cli/ProfileMenu.h"

#include "HostTables.h"
#include "cli/AlertCapture.h"
#include "cli/GlobalOptions.h"
#include "cli/ProfileStore.h"
#include "qmhost/AppViewTable.h"
#include "qmhost/PDModelTable.h"
#include "qmhost/HostError.h"

namespace qmcli {
namespace {

std::string titleOf(const AppViewTable* av, AVMenuItem item) {
    std::string title(static_cast<size_t>(av->menuItemGetTitle(item, nullptr, 0)), '\0');
    const int32_t copied = av->menuItemGetTitle(item, title.data(), static_cast<int32_t>(title.size()));
    title.resize(static_cast<size_t>(copied));
    return title;
}

void listSubmenu(const AppViewTable* av, AVMenu submenu, std::vector<MenuEntry>* items) {
    const int32_t count = av->menuGetNumMenuItems(submenu);
    for (int32_t i = 0; i < count; ++i) {
        AVMenuItem item = av->menuAcquireMenuItemByIndex(submenu, i);
        if (!item) continue;
        const char* name = av->menuItemGetName(item);
        items->push_back({name ? name : "", titleOf(av, item)});
        av->menuItemRelease(item);
    }
}

bool hasActiveDocument() { return qmhost::appViewTable()->getActiveDoc() != nullptr; }

// What the active document's security settings forbid of what stamping needs
// ("printing and changes"); empty when they forbid none of it.
std::string forbiddenByActiveDocument() {
    const AppViewTable* av = qmhost::appViewTable();
    uint32_t word = 0;
    try {
        word = qmhost::pdModelTable()->docGetPermissions(av->avDocGetPDDoc(av->getActiveDoc()));
    } catch (const HostError&) {
        return {};
    }
    std::vector<std::string> forbidden;
    if (!(word & kPDPermPrint)) forbidden.push_back("printing");
    if (!(word & kPDPermModify)) forbidden.push_back("changes");
    if (!(word & kPDPermAnnotate)) forbidden.push_back("notes");
    std::string text;
    for (size_t i = 0; i < forbidden.size(); ++i)
        text += (i == 0 ? "" : i + 1 == forbidden.size() ? " and " : ", ") + forbidden[i];
    return text;
}

std::string joinTitles(const std::vector<MenuEntry>& items) {
    std::string text;
    for (const MenuEntry& entry : items) text += (text.empty() ? "" : ", ") + entry.title;
    return text;
}

}  // namespace

bool ListProfileItems(std::vector<MenuEntry>* items, std::string* error) {
    items->clear();
    const AppViewTable* av = qmhost::appViewTable();
    AVMenuItem stamp = av->menubarAcquireMenuItemByName(av->getMenubar(), kStampItemName);
    if (!stamp) {
        *error = std::string("the plug-in offers no Stamp menu (no item \"") + kStampItemName + "\")";
        return false;
    }
    try {
        av->menuItemIsEnabled(stamp);  // the plug-in builds the profile items now
        if (AVMenu submenu = av->menuItemAcquireSubmenu(stamp)) {
            listSubmenu(av, submenu, items);
            av->menuRelease(submenu);
        }
    } catch (const HostError& failure) {
        av->menuItemRelease(stamp);
        *error = std::string("cannot read the Stamp menu: ") + failure.what();
        return false;
    }
    av->menuItemRelease(stamp);
    return true;
}

CommandRun RunMenuItem(const std::string& name) {
    AlertCapture capture;
    const qmhost::RunResult result = qmhost::runMenuCommand(name);
    CommandRun run;
    run.outcome = result.outcome;
    run.alerts = capture.take();
    run.warnings = capture.takeWarnings();
    run.ok = result.outcome == qmhost::RunOutcome::Ran && run.alerts.empty();
    if (result.outcome != qmhost::RunOutcome::Ran) run.message = result.message;
    else if (!run.alerts.empty()) run.message = name + " failed";
    return run;
}

CommandRun StampWithProfile(const std::string& profile) {
    CommandRun run;
    if (!hasActiveDocument()) {
        run.message = "no document is open";
        return run;
    }
    std::vector<MenuEntry> items;
    if (!ListProfileItems(&items, &run.message)) return run;
    // The title as written first, else the same name in another letter case.
    const MenuEntry* found = nullptr;
    for (const MenuEntry& entry : items)
        if (entry.title == profile) {
            found = &entry;
            break;
        }
    for (const MenuEntry& entry : items)
        if (!found && ProfileStore::SameName(entry.title, profile)) found = &entry;
    if (!found) {
        run.noSuchProfile = true;
        run.message = "no profile named \"" + profile + "\"" +
                      (items.empty() ? std::string(" (there are no profiles)")
                                     : " (profiles: " + joinTitles(items) + ")");
        return run;
    }
    const std::string itemName = found->name;
    run = RunMenuItem(itemName);
    if (run.outcome == qmhost::RunOutcome::Disabled) {
        // The item is enabled when its profile file exists and the active
        // document's security settings allow printing, changes and notes.
        const std::string forbidden = forbiddenByActiveDocument();
        run.message = "the document may not be stamped with \"" + profile + "\"" +
                      (forbidden.empty() ? std::string() : " (its security settings forbid " + forbidden + ")");
    } else if (!run.ok && run.outcome == qmhost::RunOutcome::Ran) {
        run.message = "stamping with \"" + profile + "\" failed";
    }
    return run;
}

CommandRun UndoLastRun() {
    if (!hasActiveDocument()) {
        CommandRun run;
        run.message = "no document is open";
        return run;
    }
    CommandRun run = RunMenuItem(kUndoItemName);
    if (run.outcome == qmhost::RunOutcome::Disabled)
        run.message = "nothing to undo";
    else if (run.outcome == qmhost::RunOutcome::NotFound)
        run.message = std::string("the plug-in offers no Undo item (\"") + kUndoItemName + "\")";
    else if (!run.ok && run.outcome == qmhost::RunOutcome::Ran)
        run.message = "undo failed";
    return run;
}

void PrintWarnings(const CommandRun& run, const std::string& prefix) {
    for (const std::string& warning : run.warnings) PrintError(prefix + "warning: " + warning);
}

std::string DescribeFailure(const CommandRun& run) {
    std::string text = run.message;
    for (const std::string& alert : run.alerts) text += (text.empty() ? "" : ": ") + alert;
    return text;
}

}  // namespace qmcli
