// The Logging submenu: "VELM:SLogging" (string 9) holds "VELM:SLoggingMenu"
// with View ("VELM:SLoggingView", string 10) and Clear ("VELM:SLoggingClear",
// string 11). Both are enabled while the log file exists.
#pragma once

#include "support/av/CAVMenu.h"
#include "support/av/CAVMenuItem.h"

// Shows the log file with OpenFileForUser (as CStamperLog::View does).
class CLogViewMenuItem : public CAVMenuItem {
public:
    bool ComputeEnabled() override;
    void Execute() override;
};

// Deletes the log (CStamperLog::Clear).
class CLogClearMenuItem : public CAVMenuItem {
public:
    bool ComputeEnabled() override;
    void Execute() override;
};

class CLogMenuItem : public CAVMenuItem {
public:
    // Makes the view item, the clear item and the submenu (in this order), puts
    // the two items into the submenu, makes this item holding it and adds it at
    // the end of inParent. A failure puts string 210 into the error-message
    // buffer and is thrown on, with nothing left in inParent.
    explicit CLogMenuItem(AVMenu inParent);
    // Takes the item out of its menu; the submenu and its items go with it.
    ~CLogMenuItem() override;

    CLogViewMenuItem& GetViewItem() { return mViewItem; }
    CLogClearMenuItem& GetClearItem() { return mClearItem; }
    AVMenu GetSubmenu() const { return mSubmenu.GetMenu(); }

    // The most recently constructed log item; null when it is gone.
    static CLogMenuItem* smLogMenuItem;

private:
    CLogViewMenuItem mViewItem;
    CLogClearMenuItem mClearItem;
    CAVMenu mSubmenu;
};
