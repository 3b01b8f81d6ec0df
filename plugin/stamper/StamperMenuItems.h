// The plug-in's menus: "VELM:Quillmark" (string 6) at the end of the host menu
// "Extensions" holds "VELM:StamperMenu" (string 4) with, in this order, Manage
// Stamps, Stamp (the profiles), Undo and Logging. A second "VELM:Quillmark",
// in no menu, holds "VELM:TooluttonSMenu" (string 4) with its own Stamp and
// Undo items: the drop-down menu of the toolbar button.
//
// Constructing a command builds and places its host items; destroying it takes
// them out of the host's menus again.
#pragma once

#include <memory>

#include "stamper/LogCommands.h"
#include "stamper/StampSubmenu.h"
#include "stamper/UndoCommand.h"
#include "support/av/CAVMenu.h"
#include "support/av/CAVMenuItem.h"

// "VELM:SManageStamps" (string 7): opens the stamp manager, or brings the open
// one to the front. Always enabled.
class CManageStampsMenuItem : public CAVMenuItem {
public:
    // Makes the host item and adds it at the end of inParent.
    explicit CManageStampsMenuItem(AVMenu inParent);
    ~CManageStampsMenuItem() override;
    void Execute() override;
};

class CStamperMenuItem : public CAVMenuItem {
public:
    // Makes the submenu, then the Manage Stamps, Stamp, Undo and Logging items
    // in it, then this item holding the submenu at the end of the host menu
    // "Extensions". A failure puts string 210 into the error-message buffer and
    // is thrown on.
    CStamperMenuItem();
    ~CStamperMenuItem() override;

    AVMenu GetSubmenu() const { return mSubmenu.GetMenu(); }
    CManageStampsMenuItem& GetManageStampsItem() { return *mManageStamps; }
    CStampMenuItem& GetStampItem() { return *mStamp; }
    CUndoMenuItem& GetUndoItem() { return *mUndo; }
    CLogMenuItem& GetLogItem() { return *mLog; }

    // The plug-in's Quillmark menu while it exists, else null.
    static CStamperMenuItem* smStamperMenuItem;

private:
    CAVMenu mSubmenu;
    std::unique_ptr<CManageStampsMenuItem> mManageStamps;
    std::unique_ptr<CStampMenuItem> mStamp;
    std::unique_ptr<CUndoMenuItem> mUndo;
    std::unique_ptr<CLogMenuItem> mLog;
};

class CToolButtonMenuItem : public CAVMenuItem {
public:
    // Makes the submenu, its Stamp and Undo items, then this item holding the
    // submenu (in no menu). A failure puts string 210 into the error-message
    // buffer and is thrown on.
    CToolButtonMenuItem();
    ~CToolButtonMenuItem() override;

    // The toolbar button's drop-down menu.
    AVMenu GetSubmenu() const { return mSubmenu.GetMenu(); }
    CStampMenuItem& GetStampItem() { return *mStamp; }
    CUndoMenuItem& GetUndoItem() { return *mUndo; }

    // The drop-down's item while it exists, else null.
    static CToolButtonMenuItem* smToolButtonMenuItem;

private:
    CAVMenu mSubmenu;
    std::unique_ptr<CStampMenuItem> mStamp;
    std::unique_ptr<CUndoMenuItem> mUndo;
};
