// CProfilesDlg: the stamp manager. A tree of the profiles of the Profiles folder
// (one root item per profile file, one child per stamp) in which the user
// makes, edits, orders, renames, deletes, cuts, copies, pastes, imports and
// exports profiles and stamps; a preview of the selection on a blank page or on
// a page of the front document; and "stamp now", which stamps the front
// document with the selected profile.
//
// Two uses:
// - modeless (Create): at most one, opened by the Manage Stamps command and
//   the toolbar button; it deletes itself when it closes;
// - modal (SetBatchCab, then exec): the batch command's choice of profile;
//   OK reads the selected profile's file into the batch cabinet.
// Every manager alive is the current stamp manager (gProfilesDlg) in turn: the
// newest one while it lives, the one before it again when it goes.
//
// The tree's items own their objects (a CProfileFile for a profile, the stamp
// for a stamp); the profile files are rewritten from the tree. Controls carry
// their ids as object names ("1", "2", "1001" ... "1063"; the popup menus'
// actions "10000" ... "10015"); the page field 1012 is a spin box (its arrows
// are the spin 1018).
#pragma once

#include <QDialog>
#include <memory>
#include <string>

#include "qmhost/QMBase.h"

class CMultiTree;
class CPDFDocument;
class CPreviewViewWnd;
class CProfileFile;
class CStamp;
class QAbstractButton;
class QCheckBox;
class QFrame;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QTreeWidgetItem;

class CProfilesDlg : public QDialog {
    Q_OBJECT
public:
    // Template ids: 104 for the modeless manager, -1 for the modal one.
    enum : int32_t { kModelessTemplate = 104, kModalTemplate = -1 };
    // Popup commands.
    enum : int {
        kCmdNewText = 10000,
        kCmdNewImage = 10001,
        kCmdNewPDF = 10002,
        kCmdRenameProfile = 10004,
        kCmdDeleteProfile = 10005,
        kCmdExportProfile = 10006,
        kCmdCutProfile = 10007,
        kCmdCopyProfile = 10008,
        kCmdPasteProfile = 10009,
        kCmdEditStamp = 10010,
        kCmdRenameStamp = 10011,
        kCmdDeleteStamp = 10012,
        kCmdCutStamp = 10013,
        kCmdCopyStamp = 10014,
        kCmdPasteStamp = 10015,
    };

    // Builds the dialog, fills the tree from the Profiles folder (telling the
    // user which profile files could not be read) and becomes the current
    // stamp manager. inTemplateId: kModelessTemplate or kModalTemplate.
    explicit CProfilesDlg(QWidget* inParent = nullptr, int32_t inTemplateId = kModalTemplate);
    // Unregisters from the host, closes the preview document and gives the
    // current-manager pointer back to the manager before it.
    ~CProfilesDlg() override;

    // The modeless manager: made and shown when there is none, else brought
    // to the front. Answers it.
    static CProfilesDlg* Create();
    // The modeless manager, null when none is open.
    static CProfilesDlg* GetModeless();

    // Modal use: the cabinet that OK fills with the chosen profile.
    void SetBatchCab(ASCab inCab) { mBatchCab = inCab; }
    bool IsModeless() const { return mTemplateId == kModelessTemplate; }

    // Shows the selection on a page of inView's document (null: a blank page).
    // Nothing while the preview is off or a run is under way.
    void RefreshPreview(AVDoc inView);
    // Enables the controls and popup commands for the selection.
    void UpdateControls();

    // The item the commands act on: the caret when it is selected, else the
    // first selected item; null when nothing is selected.
    QTreeWidgetItem* GetSelectedItem() const;
    bool IsRunInProgress() const { return mRunInProgress; }
    bool IsDesignDialogOpen() const { return mDesignOpen; }

    CMultiTree* GetTree() const { return mTree; }
    CPreviewViewWnd* GetPreview() const { return mPreview; }
    CPDFDocument* GetPreviewDocument() const { return mPreviewDoc.get(); }
    // The popup menus (their actions carry the command ids as object names).
    QMenu* GetProfileMenu() const { return mProfileMenu; }
    QMenu* GetStampMenu() const { return mStampMenu; }
    QMenu* GetNewStampMenu() const { return mNewStampMenu; }
    // Runs a popup command as if chosen from its menu (nothing while a design
    // dialog is open). Tests and the menus use it.
    void RunCommand(int inCommand);

public slots:
    // Stamp now (button 1): modal use ends with the profile read into the
    // batch cabinet; modeless use stamps the front document.
    void accept() override;
    // Close (button 2, Esc, the close box); during a run it asks the run to stop.
    void reject() override;

protected:
    // Esc while a label is edited ends the editing; the manager stays open.
    void keyPressEvent(QKeyEvent* inEvent) override;

private:
    // Layout and menus (CProfilesDlgLayout.cpp).
    void BuildLayout();
    void BuildMenus();
    QPushButton* MakeButton(const char* inId, uint32_t inTextId);
    void InitDialog();

    // The tree (CProfilesDlgTree.cpp).
    void FillTree();
    QTreeWidgetItem* LoadProfile(std::unique_ptr<CProfileFile> inProfile);
    QTreeWidgetItem* AddStampItem(QTreeWidgetItem* inProfile, std::unique_ptr<CStamp> inStamp, ASCab inOwnedCab,
                                  int inIndex = -1);
    bool SaveProfile(QTreeWidgetItem* inItem);
    // Writes every profile; failures are told unless inQuiet.
    void SaveAllProfiles(bool inQuiet = false);
    QTreeWidgetItem* ProfileItemOf(QTreeWidgetItem* inItem) const;
    bool ProfileNameTaken(const QString& inName) const;
    // inName when free, else inPrefix + inName, then with 1, 2, ... appended;
    // empty when no acceptable name is free.
    QString FreeProfileName(const QString& inName, const QString& inPrefix) const;
    bool StampNameTaken(QTreeWidgetItem* inProfile, const QString& inName) const;
    QString FreeStampName(QTreeWidgetItem* inProfile, const QString& inBase) const;
    QTreeWidgetItem* FindStampItem(const CStamp* inStamp) const;

    // Commands (CProfilesDlgCommands.cpp).
    void OnNewProfile();
    void OnAddStamp();
    void NewStamp(int inKind);
    void EditStamp();
    void OpenDesigner(CStamp& ioStamp, bool inEditing);
    void DesignClosed(CStamp* inStamp, bool inConfirmed, bool inEditing);
    void OnDelete(bool inAsk);
    void DeleteSelected();
    void OnMove(bool inUp);
    void StartRename();
    void OnRenamed(QTreeWidgetItem* inItem);
    bool Copy();
    void Cut();
    void Paste();
    void PasteProfile(ASCab inHeld);
    void OnImport();
    void OnExport();
    void OnItemPopup();
    void Message(const QString& inText, bool inWarning = true);

    // Preview and stamping (CProfilesDlgPreview.cpp).
    void ScheduleRefresh();
    void OnPreviewToggled(bool inOn);
    void PreviewItems(bool inWithDocument, int32_t inPageCount, int32_t inPage);
    void PlacePreview();
    bool eventFilter(QObject* inObject, QEvent* inEvent) override;
    void StampNow();
    void StorePreferences();
    void RegisterNotification();
    void UnregisterNotification();
    static void FrontDocChanged(AVDoc inView, void* inClientData);

    int32_t mTemplateId;
    ASCab mBatchCab = nullptr;
    bool mRunInProgress = false;
    bool mDesignOpen = false;
    QTreeWidgetItem* mRenameItem = nullptr;
    QString mRenameOldText;
    std::unique_ptr<CStamp> mPendingStamp;
    QTreeWidgetItem* mPendingProfile = nullptr;
    QTreeWidgetItem* mPendingAfter = nullptr;
    ASCallback mNotification = nullptr;
    std::unique_ptr<CPDFDocument> mPreviewDoc;
    double mPreviewScale = 0;

    CMultiTree* mTree = nullptr;
    CPreviewViewWnd* mPreview = nullptr;
    QFrame* mPreviewFrame = nullptr;
    QCheckBox* mPreviewOn = nullptr;
    QSpinBox* mPageField = nullptr;
    QPushButton* mStampButton = nullptr;
    QPushButton* mCloseButton = nullptr;
    QMenu* mNewStampMenu = nullptr;
    QMenu* mProfileMenu = nullptr;
    QMenu* mStampMenu = nullptr;
    QTimer* mRefreshTimer = nullptr;
};
