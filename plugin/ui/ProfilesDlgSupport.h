// What the stamp manager's files share: its string ids and the front view.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "support/HostHandle.h"

enum : uint32_t {
    kStrProfileFilter = 13,  // "Quillmark 描述文件(*.nxp)|*.nxp||"
    kStrOpenProfile = 15,    // the import dialog's accept button
    kStrNewProfileName = 16,
    kStrNewTextName = 17,  // 17, 18, 19 by kind
    kStrAskDeleteMany = 20,
    kStrAskDeleteStamp = 21,
    kStrAskDeleteProfile = 22,
    kStrMenuText = 28,
    kStrMenuImage = 29,
    kStrMenuPDF = 30,
    kStrNewStampMenu = 34,
    kStrMenuRenameProfile = 35,
    kStrMenuDeleteProfile = 36,
    kStrMenuExportProfile = 37,
    kStrMenuCut = 38,
    kStrMenuCopy = 39,
    kStrMenuPaste = 40,
    kStrMenuEditStamp = 41,
    kStrMenuRenameStamp = 42,
    kStrMenuDeleteStamp = 43,
    kStrMessageCaption = 45,  // "Quillmark"

    kStrCaption = 1200,
    kStrStampButton,
    kStrCloseButton,
    kStrCancelButton,
    kStrGroupProfiles,
    kStrGroupPreview,
    kStrNewProfileButton,
    kStrAddStamp,
    kStrEditStamp,
    kStrDelete,
    kStrMoveUp,
    kStrMoveDown,
    kStrImport,
    kStrExport,
    kStrPreviewOn,
    kStrPageLabel,
    kStrImportTitle,
    kStrExportTitle,
    kStrUnreadableProfile = 1220,  // "%s": the file
    kStrBadName,
    kStrNameTaken,
    kStrNotAProfile,  // "%s": the file
    kStrDesignerUnavailable,
    kStrRenameFailed,  // "%s": the profile
    kStrExportFailed,  // "%s": the target
    kStrSaveFailed,    // "%s": the profile file
    kStrExportOntoItself,
};

// The front view, or null when none is open (or the host offers no viewer).
AVDoc ActiveView();

#include <QIcon>
#include <memory>

class CProfileFile;
class CStamp;
class QTreeWidgetItem;

// What a stamp item of the manager's tree holds: the stamp and, when the
// stamp wraps a cabinet it does not own (one read from a profile or the
// clipboard), that cabinet.
struct TreeStamp {
    TreeStamp(std::unique_ptr<CStamp> inStamp, ASCab inOwnedCab);
    ~TreeStamp();
    TreeStamp(const TreeStamp&) = delete;
    TreeStamp& operator=(const TreeStamp&) = delete;
    std::unique_ptr<CStamp> stamp;
    CHostCab ownedCab;  // goes after the stamp that reads it
};

// The objects of the manager's items: a root item holds a profile, a child a
// stamp; null for the other kind of item or none.
CProfileFile* ProfileOf(QTreeWidgetItem* inItem);
CStamp* StampOf(QTreeWidgetItem* inItem);

// The tree's icons: a profile, and the stamps of kind 0 text, 1 image, 2 PDF
// page (another kind shows as text); each with its selected look.
QIcon ProfileIcon();
QIcon StampIcon(int32_t inKind);
