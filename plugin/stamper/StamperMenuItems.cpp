#include "stamper/StamperMenuItems.h"

#include "stamper/StamperDialogSeams.h"
#include "stamper/StamperMenuSupport.h"

CStamperMenuItem* CStamperMenuItem::smStamperMenuItem = nullptr;
CToolButtonMenuItem* CToolButtonMenuItem::smToolButtonMenuItem = nullptr;

namespace {
constexpr const char* kHostExtensionsMenu = "Extensions";
}  // namespace

// --- CManageStampsMenuItem

CManageStampsMenuItem::CManageStampsMenuItem(AVMenu inParent) {
    Create(MenuTitle(kStrManageStamps).c_str(), "VELM:SManageStamps", 0, 0, nullptr, 0, nullptr);
    CAVMenu(inParent).AddMenuItem(GetMenuItem(), kAVMenuAppend);
}

CManageStampsMenuItem::~CManageStampsMenuItem() { TakeOutOfMenu(*this); }

void CManageStampsMenuItem::Execute() { RunStamperDialog(StamperDialog::kStampManager); }

// --- CStamperMenuItem

CStamperMenuItem::CStamperMenuItem() {
    BuildSubmenuItems([&] {
        mSubmenu.Create(MenuTitle(kStrStamperMenuTitle).c_str(), "VELM:StamperMenu");
        mManageStamps = std::make_unique<CManageStampsMenuItem>(mSubmenu.GetMenu());
        mStamp = std::make_unique<CStampMenuItem>(mSubmenu.GetMenu());
        mUndo = std::make_unique<CUndoMenuItem>(mSubmenu.GetMenu());
        mLog = std::make_unique<CLogMenuItem>(mSubmenu.GetMenu());
        Create(MenuTitle(kStrStamperTitle).c_str(), "VELM:Quillmark", 0, 0, mSubmenu.GetMenu(), 0, nullptr);
        CAVMenu(kHostExtensionsMenu).AddMenuItem(GetMenuItem(), kAVMenuAppend);
    });
    smStamperMenuItem = this;
}

CStamperMenuItem::~CStamperMenuItem() {
    if (smStamperMenuItem == this) smStamperMenuItem = nullptr;
    TakeOutOfMenu(*this);
}

// --- CToolButtonMenuItem

CToolButtonMenuItem::CToolButtonMenuItem() {
    BuildSubmenuItems([&] {
        mSubmenu.Create(MenuTitle(kStrStamperMenuTitle).c_str(), "VELM:TooluttonSMenu");
        mStamp = std::make_unique<CStampMenuItem>(mSubmenu.GetMenu());
        mUndo = std::make_unique<CUndoMenuItem>(mSubmenu.GetMenu());
        Create(MenuTitle(kStrStamperTitle).c_str(), "VELM:Quillmark", 0, 0, mSubmenu.GetMenu(), 0, nullptr);
    });
    smToolButtonMenuItem = this;
}

CToolButtonMenuItem::~CToolButtonMenuItem() {
    if (smToolButtonMenuItem == this) smToolButtonMenuItem = nullptr;
}
