// Initialisation and unload of the plug-in, in their fixed orders.
#include "module/PluginLifeCycle.h"

#include <filesystem>
#include <memory>
#include <system_error>

#include "engine/CPDFElementUndoController.h"
#include "engine/CTIFFImageType.h"
#include "module/CStamperApp.h"
#include "module/PluginEntry.h"
#include "stamper/CManageStampsToolButton.h"
#include "stamper/CProductIdentity.h"
#include "stamper/CStampClipboard.h"
#include "stamper/CStamperPreferences.h"
#include "stamper/HostAnchorMenuItems.h"
#include "stamper/HostServices.h"
#include "stamper/NumberVariables.h"
#include "stamper/SiblingPlugin.h"
#include "stamper/StamperBatchCommand.h"
#include "stamper/StamperDialogSeams.h"
#include "stamper/StamperMenuItems.h"
#include "support/Alerts.h"
#include "support/CallbackGuard.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/io/ModulePaths.h"
#include "support/cos/PDFAtoms.h"
#include "support/prefs/PreferenceTagTypes.h"
#include "support/ResourceStrings.h"

namespace {

// What the initialisation makes, deleted by the unload in the order below.
struct PlugInObjects {
    std::unique_ptr<CStamperPreferences> preferences;
    std::unique_ptr<CStampClipboard> clipboard;
    std::unique_ptr<CStamperMenuItem> stamperMenu;
    std::unique_ptr<CToolButtonMenuItem> toolButtonMenu;
    std::unique_ptr<CPrefsMenuItem> prefsItem;
    std::unique_ptr<CAboutMenuItem> aboutItem;
    std::unique_ptr<CHelpMenuItem> helpItem;
    std::unique_ptr<CManageStampsToolButton> toolButton;
    std::unique_ptr<CPDFElementUndoController> undoController;
    ASCallback docNotification = nullptr;  // registered for notification 33 while set
};

PlugInDialogsProc sInstallDialogs = nullptr;
PlugInDialogsProc sRemoveDialogs = nullptr;

// Built when the library is loaded, so that it outlives whatever unloads the
// plug-in while a program ends: the unload empties it before it goes.
PlugInObjects sObjects;

PlugInObjects& Objects() { return sObjects; }

// The module path from the library's own file, and the data paths from its folder.
void SetModuleAndDataPaths() {
    const std::string modulePath = MakePlugInModulePath(GetStamperApp().GetModuleFileName());
    const std::string folder = FolderOfPath(modulePath);
    if (modulePath.empty() || !SetPlugInModulePath(modulePath.c_str()) || !SetStamperDataPaths(folder.c_str())) {
        // Without its folder the plug-in has nowhere for preferences, log and
        // profiles: a plain failure beats files written to the wrong place.
        SetErrorMessage("The plug-in cannot use its folder " + (folder.empty() ? std::string("(unknown)") : folder) +
                        " for its files (the path is missing or too long).");
        ThrowErrorCode(kErrNotFound);
    }
}

// The preferences, read from their file, installed, and made the number
// variables' source of their two settings.
void MakePreferences() {
    PlugInObjects& objects = Objects();
    objects.preferences = std::make_unique<CStamperPreferences>();
    if (!objects.preferences->ReadFile(false)) ShowAlert(objects.preferences->GetLastProblem().c_str());
    SetStamperPreferences(objects.preferences.get());
    SetStampNumberPreferencesSource([] {
        StampNumberPreferences numbers;
        if (CStamperPreferences* preferences = GetStamperPreferences()) {
            numbers.batesFixedLength = preferences->GetBatesFixedLength();
            numbers.useRomanNumerals = preferences->GetUseRomanNumerals();
        }
        return numbers;
    });
}

// The stamp clipboard. Without the optional "ASExtra" table there are no cabinets: the
// plug-in starts without a clipboard, and what needs cabinets reports it then.
void MakeClipboard() {
    if (gASExtraHFT) {
        Objects().clipboard = std::make_unique<CStampClipboard>();
        gStampClipboard = Objects().clipboard.get();
    }
}

// The result is not checked (the folder is usually there already).
void MakeProfilesFolder() {
    std::error_code ignored;
    std::filesystem::create_directory(GetProfilesFolderPath(), ignored);
}

// The menus in their order, then the toolbar button with its drop-down.
void MakeMenusAndToolButton() {
    PlugInObjects& objects = Objects();
    objects.stamperMenu = std::make_unique<CStamperMenuItem>();
    objects.toolButtonMenu = std::make_unique<CToolButtonMenuItem>();
    objects.prefsItem = std::make_unique<CPrefsMenuItem>();
    if (!IsSiblingPluginInstalled()) objects.aboutItem = std::make_unique<CAboutMenuItem>();
    objects.helpItem = std::make_unique<CHelpMenuItem>();
    objects.toolButton = std::make_unique<CManageStampsToolButton>();
    CallHost([&] { objects.toolButton->AddToPlugInsToolBar(objects.toolButtonMenu->GetSubmenu()); });
}

void DocNotificationProc(PDDoc inDoc, void* inClientData) {
    GuardCallback("Clearing the undo of a document", [&] { ClearUndoOnDocNotification(inDoc, inClientData); });
}

// The undo controller (it registers its own view notifications), then the
// handler that empties a document's undo when it is saved or closed.
void MakeUndoControllerAndNotification() {
    PlugInObjects& objects = Objects();
    RemakePlugInUndoController();
    CallHost([&] {
        const ASCallback callback =
            gCoreHFT->makeCallback(gExtensionID, reinterpret_cast<ASProc>(&DocNotificationProc));
        gAppViewHFT->registerNotification(kNotifyDocWillChange, gExtensionID, callback, nullptr);
        objects.docNotification = callback;
    });
}

void UnregisterDocNotification() {
    PlugInObjects& objects = Objects();
    if (!objects.docNotification) return;
    gAppViewHFT->unregisterNotification(kNotifyDocWillChange, objects.docNotification, nullptr);
    objects.docNotification = nullptr;
}

void DeletePreferences() {
    // The source and the installed pointer first: nothing may reach the store once it goes.
    SetStampNumberPreferencesSource({});
    SetStamperPreferences(nullptr);
    Objects().preferences.reset();
}

void DeleteClipboard() {
    gStampClipboard = nullptr;
    Objects().clipboard.reset();
}

// Runs one unload step; a failure of one step does not keep the others from running.
template <class F>
void UnloadStep(F&& inStep) noexcept {
    TrapRun(inStep);
}

}  // namespace

std::string MakePlugInModulePath(const std::string& inFileName) {
    if (inFileName.empty()) return std::string();
    return std::string(FileNamePart(inFileName, true, false)) + ".api";
}

std::string FolderOfPath(const std::string& inPath) {
    const size_t slash = inPath.rfind('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : inPath.substr(0, slash);
}

void SetPlugInDialogs(PlugInDialogsProc inInstall, PlugInDialogsProc inRemove) {
    sInstallDialogs = inInstall;
    sRemoveDialogs = inRemove;
}

CManageStampsToolButton* GetPlugInToolButton() { return Objects().toolButton.get(); }
CPrefsMenuItem* GetPlugInPrefsItem() { return Objects().prefsItem.get(); }
CAboutMenuItem* GetPlugInAboutItem() { return Objects().aboutItem.get(); }
CHelpMenuItem* GetPlugInHelpItem() { return Objects().helpItem.get(); }

void ClearUndoOnDocNotification(PDDoc inDoc, void* /*inClientData*/) {
    const AVDoc view = CallHost([&] { return gAppViewHFT->pdDocGetAVDoc(inDoc); });
    if (view) CPDFElementUndoController::ClearElementUndo(view);
}

void DeletePlugInUndoController() { Objects().undoController.reset(); }

void RemakePlugInUndoController() {
    PlugInObjects& objects = Objects();
    if (!objects.undoController) objects.undoController = std::make_unique<CPDFElementUndoController>();
}

bool PluginInit() {
    // Nothing may escape into the host. What was made stays until the unload,
    // which the host runs for a plug-in that failed to start.
    return GuardCallback("Starting the plug-in", false, [&] {
        CProductIdentity& identity = GetProductIdentity();
        identity.SetName("Quillmark");
        identity.SetProductId("Quillmark");
        identity.SetSuiteFlags(true, false);
        RegisterPreferenceTagTypes();
        SetResourceInstance(GetModuleHandle());
        InitKeyAtoms();
        InitFilterAtoms();
        GetHostVersion();
        // A host without batch sequences refuses the handler; the plug-in's
        // menus work all the same.
        RegisterBatchCommand();
        SetModuleAndDataPaths();
        MakePreferences();
        MakeClipboard();
        MakeProfilesFolder();
        MakeMenusAndToolButton();
        MakeUndoControllerAndNotification();
        if (sInstallDialogs) sInstallDialogs();
        return true;
    });
}

bool PluginUnload() {
    PlugInObjects& objects = Objects();
    // The dialogs first: the stamp manager uses the preferences and the clipboard.
    UnloadStep([] {
        if (sRemoveDialogs) sRemoveDialogs();
    });
    UnloadStep([] { FreeBatchCommandRecord(); });
    UnloadStep([] { UnregisterDocNotification(); });
    UnloadStep([] { DeletePreferences(); });
    UnloadStep([] { DeleteClipboard(); });
    UnloadStep([&] { objects.stamperMenu.reset(); });
    UnloadStep([&] { objects.toolButtonMenu.reset(); });
    UnloadStep([&] { objects.prefsItem.reset(); });
    UnloadStep([&] { objects.aboutItem.reset(); });
    UnloadStep([&] { objects.helpItem.reset(); });
    UnloadStep([&] { objects.toolButton.reset(); });
    // Its destructor unregisters its view notifications and deletes every manager.
    UnloadStep([&] { objects.undoController.reset(); });
    // libtiff outlives the module: it must not call back into it.
    UnloadStep([] { CTIFFImageType::RemoveHandlers(); });
    return true;
}
