#include "view/Toolbars.h"

#include <algorithm>

#include "core/AtomTable.h"
#include "core/Raise.h"
#include "view/Menus.h"

namespace qmhost {
namespace {

template <class H>
H handleOf(uintptr_t number) {
    return reinterpret_cast<H>(number);
}

void buildAppToolBar(Toolbars& bars) {
    const AVToolBar tools = bars.create("Tools", "Tools");
    const AVToolButton marker = bars.newButton(atoms().intern("endToolsGroup"), nullptr, 0, true);
    bars.add(tools, marker, false, nullptr);
}

}  // namespace

Toolbars::Toolbars() {
    buildAppToolBar(*this);
    mAppToolBar = mOrder.front();
}

void Toolbars::reset() {
    mToolBars.clear();
    mOrder.clear();
    mButtons.clear();
    mPositions.clear();
    buildAppToolBar(*this);
    mAppToolBar = mOrder.front();
}

bool Toolbars::removeToolBar(const std::string& name) {
    const AVToolBar bar = find(name);
    if (!bar || bar == mAppToolBar) return false;
    for (AVToolButton child : toolBarRecord(bar).buttons) buttonRecord(child).toolbar = nullptr;
    mToolBars.erase(bar);
    std::erase(mOrder, bar);
    mPositions.erase(name);
    return true;
}

AVToolBar Toolbars::find(const std::string& name) const {
    for (AVToolBar bar : mOrder)
        if (toolBar(bar).name == name) return bar;
    return nullptr;
}

AVToolBar Toolbars::create(const std::string& name, const std::string& title) {
    if (name.empty()) raise(kHostErrBadParameter, "a toolbar needs a name");
    if (find(name)) raise(kHostErrBadParameter, "the toolbar " + name + " exists already");
    const auto bar = handleOf<AVToolBar>(newViewObjectNumber());
    mToolBars[bar] = ToolBarRecord{name, title, {}};
    mOrder.push_back(bar);
    return bar;
}

void Toolbars::setPosition(const std::string& name, const AVToolBarPosition& position) {
    if (position.size != sizeof(AVToolBarPosition))
        raise(kHostErrBadParameter, "a toolbar position record is 40 bytes");
    mPositions[name] = position;
}

std::optional<AVToolBarPosition> Toolbars::positionOf(const std::string& name) const {
    auto found = mPositions.find(name);
    if (found == mPositions.end()) return std::nullopt;
    return found->second;
}

const ToolBarRecord& Toolbars::toolBar(AVToolBar bar) const {
    auto found = mToolBars.find(bar);
    if (found == mToolBars.end()) raise(kHostErrBadHandle, "no such toolbar");
    return found->second;
}

const ToolButtonRecord& Toolbars::button(AVToolButton button) const {
    auto found = mButtons.find(button);
    if (found == mButtons.end()) raise(kHostErrBadHandle, "no such tool button");
    return found->second;
}

ToolButtonRecord& Toolbars::buttonRecord(AVToolButton button) {
    return const_cast<ToolButtonRecord&>(this->button(button));
}

ToolBarRecord& Toolbars::toolBarRecord(AVToolBar bar) { return const_cast<ToolBarRecord&>(toolBar(bar)); }

std::string Toolbars::nameOf(const ToolButtonRecord& record) const {
    const char* text = atoms().text(record.name);
    return text ? text : "";
}

AVToolButton Toolbars::newButton(ASAtom name, AVIcon icon, uint8_t options, bool separator) {
    if (name == kASAtomNull || !atoms().text(name)) raise(kHostErrBadParameter, "a tool button needs a name");
    const auto handle = handleOf<AVToolButton>(newViewObjectNumber());
    ToolButtonRecord& record = mButtons[handle];
    record.name = name;
    record.icon = icon;
    record.options = options;
    record.separator = separator;
    return handle;
}

AVToolButton Toolbars::buttonByName(AVToolBar bar, ASAtom name) const {
    for (AVToolButton child : toolBar(bar).buttons)
        if (button(child).name == name) return child;
    return nullptr;
}

void Toolbars::add(AVToolBar bar, AVToolButton button, bool before, AVToolButton other) {
    ToolBarRecord& target = toolBarRecord(bar);
    ToolButtonRecord& record = buttonRecord(button);
    if (record.toolbar)
        raise(kHostErrBadParameter, "the button " + nameOf(record) + " is on a toolbar already");
    auto& buttons = target.buttons;
    auto at = before ? buttons.begin() : buttons.end();
    if (other) {
        at = std::find(buttons.begin(), buttons.end(), other);
        if (at == buttons.end())
            raise(kHostErrNotFound, "the other button is not on the toolbar " + target.name);
        if (!before) ++at;
    }
    buttons.insert(at, button);
    record.toolbar = bar;
}

void Toolbars::remove(AVToolButton button) {
    ToolButtonRecord& record = buttonRecord(button);
    if (!record.toolbar) return;
    auto found = mToolBars.find(record.toolbar);
    if (found != mToolBars.end()) std::erase(found->second.buttons, button);
    record.toolbar = nullptr;
}

void Toolbars::destroy(AVToolButton button) {
    remove(button);
    const AVMenu menu = buttonRecord(button).menu;
    mButtons.erase(button);
    if (menu && menus().alive(menu)) menus().release(menu);
}

void Toolbars::setExecuteProc(AVToolButton button, CommandProc proc) {
    buttonRecord(button).procs.execute = proc;
}

void Toolbars::setEnabledProc(AVToolButton button, CommandProc proc) {
    buttonRecord(button).procs.enabled = proc;
}

void Toolbars::setMarkedProc(AVToolButton button, CommandProc proc) {
    buttonRecord(button).procs.marked = proc;
}

void Toolbars::setHelpText(AVToolButton button, const std::string& text) {
    buttonRecord(button).helpText = text;
}

void Toolbars::setMenu(AVToolButton button, AVMenu menu) {
    ToolButtonRecord& record = buttonRecord(button);
    if (menu == record.menu) return;
    if (menu) menus().acquire(menu);  // raises for a stale menu before anything changes
    const AVMenu old = record.menu;
    record.menu = menu;
    if (old && menus().alive(old)) menus().release(old);
}

std::vector<std::string> Toolbars::heldBy(ExtensionID extension) const {
    std::vector<std::string> held;
    for (AVToolBar bar : mOrder) {
        const ToolBarRecord& record = toolBar(bar);
        bool holds = false;
        for (AVToolButton child : record.buttons) holds = holds || button(child).procs.heldBy(extension);
        if (holds)
            held.push_back("toolbar \"" + record.name +
                           "\" still holds buttons with callbacks of the plug-in");
    }
    for (const auto& [handle, record] : mButtons)
        if (record.procs.heldBy(extension))
            held.push_back("tool button \"" + nameOf(record) + "\" still has callbacks of the plug-in");
    return held;
}

void Toolbars::dropExtension(ExtensionID extension) {
    std::vector<AVToolButton> doomed;
    for (const auto& [handle, record] : mButtons)
        if (record.procs.heldBy(extension)) doomed.push_back(handle);
    for (AVToolButton handle : doomed) destroy(handle);
}

Toolbars& toolbars() {
    // Never destroyed: a plug-in may still be unloaded while statics go down.
    static Toolbars* instance = new Toolbars;
    return *instance;
}

}  // namespace qmhost
