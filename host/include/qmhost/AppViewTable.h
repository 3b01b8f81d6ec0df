// "AppView": the viewer: document views, alerts, notifications and progress.
#pragma once

#include "qmhost/QMBase.h"

// The page shown in a document view, with the view's device space (pixels, y
// down from the view's top-left corner).
typedef struct _t_AVPageView* AVPageView;

// A rectangle in a page view's device space (left <= right, top <= bottom).
struct AVDevRect {
    int16_t left, top, right, bottom;
};

// Notification numbers that the host sends (one definition, meaning here).
enum : int32_t {
    kNotifyFrontDocChanged = 2,  // (AVDoc, clientData): the front view changed
    kNotifyViewAdded = 4,        // (AVDoc, uint32_t unused, clientData): a view was opened
    kNotifyViewRemoved = 7,      // (AVDoc, clientData): a view is about to close
    kNotifyDocWillChange = 33,   // (PDDoc, clientData): the document was saved, or is about to be closed
};

// The host's progress monitor: size, then seven operations that take the
// client data the host handed out with the monitor. setText may be null.
struct ASProgressMonitorRec {
    uint32_t size;  // sizeof(ASProgressMonitorRec)
    void (*beginOperation)(void* clientData);
    void (*endOperation)(void* clientData);
    void (*setDuration)(int32_t duration, void* clientData);
    void (*setCurrValue)(int32_t value, void* clientData);
    int32_t (*getDuration)(void* clientData);
    int32_t (*getCurrValue)(void* clientData);
    void (*setText)(ASText text, void* clientData);
};
typedef ASProgressMonitorRec* ASProgressMonitor;

// Menus, menu items, toolbars and tool buttons. Handles are host-chosen numbers,
// checked on use: a stale or wrong-kind handle raises kHostErrBadHandle.
typedef struct _t_AVMenubar* AVMenubar;
typedef struct _t_AVMenu* AVMenu;
typedef struct _t_AVMenuItem* AVMenuItem;
typedef struct _t_AVToolBar* AVToolBar;
typedef struct _t_AVToolButton* AVToolButton;
// An image shown with an item or a button: it points to an AVIconData
// (qmhost/AVIconData.h) that the giver keeps alive. Null: no icon.
typedef struct _t_AVIcon* AVIcon;

// The procedures behind a menu item's or tool button's callbacks (made with
// makeCallback). The host calls them with the client data given when they were
// set; a procedure must not throw.
typedef bool (*AVComputeEnabledProc)(void* clientData);
typedef bool (*AVComputeMarkedProc)(void* clientData);
typedef void (*AVExecuteProc)(void* clientData);

// A menu position at or past the last item appends; callers pass this one.
constexpr int32_t kAVMenuAppend = 9999;
// A place "after the others" in a toolbar position record.
constexpr int32_t kAVToolBarAfterOthers = 0x7fffffff;

// Where a toolbar sits, registered once per toolbar name (40 bytes,
// little-endian). This host keeps the record and shows toolbars in the order
// they were made; it checks only the size.
struct AVToolBarPosition {
    uint32_t size;           // +0  sizeof(AVToolBarPosition), 40
    uint16_t floating;       // +4  0: docked in the window frame
    uint16_t edge;           // +6  dock edge: 0 top, 1 bottom, 2 left, 3 right
    uint32_t row;            // +8  row at that edge, 0 the first
    int32_t offset;          // +12 place in the row; kAVToolBarAfterOthers: after the toolbars there
    int32_t floatingOffset;  // +16 place when floating; kAVToolBarAfterOthers: the host's choice
    int32_t floatingWidth;   // +20 width when floating; -1: as wide as its buttons
    uint8_t reserved[8];     // +24 0
    uint16_t hidden;         // +32 0: shown
    uint16_t reserved2;      // +34 0
    uint16_t format;         // +36 record format, 1
    uint16_t reserved3;      // +38 0
};
static_assert(sizeof(AVToolBarPosition) == 40, "the position record is 40 bytes");

// --- Batch commands and cursors.
//
// A command handler is a set of procedures that a plug-in registers under a
// name atom; a command is one configured use of a handler in batch sequences.
// Per command the host keeps: its handler's name, named cabinets (its
// parameters, their description, its running state), the document it works
// on, its status, a progress monitor and a report procedure. Command handles
// are host-chosen numbers, checked on use (kHostErrBadHandle).
typedef struct _t_AVCommand* AVCommand;

// Command status codes: what the handler's procedures answer and what the host
// keeps as the command's status.
typedef int32_t AVCommandStatus;
enum : int32_t {
    kAVCommandReady = 0,      // done with no error; also: no work call yet for this document
    kAVCommandWorking = 1,    // not finished: the host calls the work procedure again
    kAVCommandDone = 2,       // the document is finished
    kAVCommandCancelled = 3,  // stopped by a cancel
    kAVCommandInError = 4,    // failed; the document is not finished
};

// Severities of a report.
enum : int32_t {
    kAVCommandReportNote = 0,
    kAVCommandReportWarning = 1,
    kAVCommandReportError = 2,
};

// The procedures of a command handler (callbacks made with makeCallback). The
// host runs each one at its boundary: a procedure that throws counts as having
// answered kAVCommandInError (or nothing, for those that answer nothing).
typedef bool (*AVCommandInitializeProc)(ASAtom handlerName);     // false refuses the handler
typedef void (*AVCommandTerminateProc)(ASAtom handlerName);      // before the handler goes
typedef void (*AVCommandRegisterCommandsProc)(ASAtom handlerName);  // may make global commands
typedef void (*AVCommandCreatedProc)(AVCommand command);        // a new command of the handler
typedef void (*AVCommandDestroyedProc)(AVCommand command);      // before the command goes
typedef AVCommandStatus (*AVCommandSetParamsProc)(AVCommand command, ASCab params);  // caller keeps params
typedef void (*AVCommandGetParamsProc)(AVCommand command, ASCab params);  // fills the caller's cabinet
typedef void (*AVCommandGetPropsProc)(AVCommand command, ASCab props);    // fills the caller's cabinet
// Show dialog, work, cancel, reset and the sequence and file steps.
typedef AVCommandStatus (*AVCommandStepProc)(AVCommand command);

// A handler's procedures in the order the host knows them; a null callback is
// a procedure the handler does not give.
struct AVCommandHandlerRec {
    uint32_t size;                 // sizeof(AVCommandHandlerRec)
    ASCallback initialize;         // AVCommandInitializeProc: at registration
    ASCallback terminate;          // AVCommandTerminateProc: when the handler's plug-in goes
    ASCallback registerCommands;   // AVCommandRegisterCommandsProc: at registration, after initialize
    ASCallback created;            // AVCommandCreatedProc
    ASCallback destroyed;          // AVCommandDestroyedProc
    ASCallback setParams;          // AVCommandSetParamsProc
    ASCallback getParams;          // AVCommandGetParamsProc
    ASCallback getProps;           // AVCommandGetPropsProc
    ASCallback showDialog;         // AVCommandStepProc: lets the user set the parameters
    ASCallback work;               // AVCommandStepProc: one step on the command's document
    ASCallback cancel;             // AVCommandStepProc: stop the document's work now
    ASCallback reset;              // AVCommandStepProc: forget the running state
    ASCallback preflightSequence;  // AVCommandStepProc: before the first document of a sequence
    ASCallback postflightSequence;  // AVCommandStepProc: after the last document of a sequence
    ASCallback preflightFile;      // AVCommandStepProc: before a document's first work call
    ASCallback postflightFile;     // AVCommandStepProc: after a document's last work call
};

// A command's report procedure: severity (kAVCommandReport...), a host error
// code whose text is reported (0: none), a message (null: none), a detail
// (null: none), reserved (null) and the command. Made by the host; never raises.
typedef void (*AVCommandReportProc)(int32_t severity, int32_t errorCode, ASText message,
                                    ASText detail, void* reserved, AVCommand command);

// Cursors: host-chosen handles; null is the host's default arrow.
typedef struct _t_AVCursor* AVCursor;
// The host's standard cursors by number.
enum : int32_t {
    kAVCursorWait = 1112,  // the busy (wait) cursor
};

// Link action handlers: the viewer makes and edits actions of the types it
// has a handler for ("GoTo", "GoToR", "Launch", "URI" here).
//
// Called once per type with the type's atom and the name a user knows it by
// (UTF-8, host-owned); answering false stops the enumeration.
typedef bool (*AVActionEnumProc)(ASAtom type, const char* userName, void* clientData);

// The procedures of one type's handler. The record is the host's, valid for the run.
struct AVActionHandlerProcs {
    uint32_t size;  // sizeof(AVActionHandlerProcs)
    // Gives a new action of the type its first values for the view's document;
    // null when the type needs none. Raises host errors.
    void (*fill)(PDAction action, AVDoc view);
    // Shows the type's properties dialog (modal) over the action and writes what
    // the user confirms into it: true when confirmed; false, with the action
    // untouched, when cancelled or when the host has no display. Null when the
    // type has no dialog. Raises kHostErrBadParameter for an action of another type.
    bool (*properties)(PDAction action, AVDoc view);
    // The same as offered from host version 6 on; null on older hosts.
    bool (*propertiesEx)(PDAction action, AVDoc view);
};

struct AppViewTable {
    uint32_t size;  // sizeof(AppViewTable)

    // Shows a note to the user (a dialog in the viewer, standard error in the
    // command-line host, a recorder in tests; silenced in batch and preview runs).
    void (*alertNote)(const char* text);
    AVDoc (*getActiveDoc)(void);  // null when no view is open; never raises
    PDDoc (*avDocGetPDDoc)(AVDoc view);
    // Registers a callback (of the notification's signature) for a notification
    // number, with client data. Raises kHostErrBadParameter for an unknown number.
    void (*registerNotification)(int32_t notification, ExtensionID extension,
                                 ASCallback callback, void* clientData);
    // Unregisters the registration with this callback and client data; nothing when none.
    void (*unregisterNotification)(int32_t notification, ASCallback callback,
                                   void* clientData);
    // The application's progress monitor, or null when the host has none; the host
    // writes the monitor's client data into *outClientData.
    ASProgressMonitor (*getProgressMonitor)(void** outClientData);

    // Opens a view on a document; the view takes over the document (closing the
    // view closes it), becomes the active view, and notification 4 is sent.
    // title may be null (the file name is shown).
    AVDoc (*avDocOpenFromPDDoc)(PDDoc doc, const char* title);
    // Sends notification 7, closes the view and its document (without saving when
    // noSave). The next view becomes active.
    void (*avDocClose)(AVDoc view, bool noSave);
    // The view of a document, or null when it has none.
    AVDoc (*pdDocGetAVDoc)(PDDoc doc);

    // --- Menus. An item or menu lives while it is referenced (acquire/release)
    // or contained (an item in a menu, a menu in the menu bar or under an item,
    // a menu on a tool button). Names need not be unique; look-ups answer the
    // first in menu-bar order (depth first). Titles and names are UTF-8.

    AVMenubar (*getMenubar)(void);  // the application's menu bar; never raises
    // The first item of that name in the bar's menus and their submenus, with one
    // reference for the caller; null when none.
    AVMenuItem (*menubarAcquireMenuItemByName)(AVMenubar bar, const char* name);
    // The first menu of that name (in the bar or under an item), with one reference; null when none.
    AVMenu (*menubarAcquireMenuByName)(AVMenubar bar, const char* name);
    // A new item in no menu that contains submenu (may be null); the caller holds
    // no reference. Raises kHostErrBadParameter for a null or empty name or a submenu
    // already in the bar or under an item. A null title is "", "-" makes a separator.
    AVMenuItem (*menuItemNew)(const char* title, const char* name, AVMenu submenu,
                              bool longMenusOnly, char shortcut, int16_t shortcutFlags,
                              AVIcon icon, ExtensionID extension);
    AVMenuItem (*menuItemAcquire)(AVMenuItem item);  // one more reference; answers item
    // One reference less (raises kHostErrBadParameter when none is held); an item
    // without references in no menu is destroyed.
    void (*menuItemRelease)(AVMenuItem item);
    // The item's submenu with one reference for the caller, or null.
    AVMenu (*menuItemAcquireSubmenu)(AVMenuItem item);
    bool (*menuItemIsLongOnly)(AVMenuItem item);
    // True when the item has a shortcut; the key (0 when none) and flags go to the
    // outputs that are not null.
    bool (*menuItemGetShortcut)(AVMenuItem item, char* outKey, int16_t* outFlags);
    // Copies at most capacity bytes of the title (no terminator) and answers the
    // count copied; with a null buffer answers the title's length.
    int32_t (*menuItemGetTitle)(AVMenuItem item, char* buffer, int32_t capacity);
    void (*menuItemSetTitle)(AVMenuItem item, const char* title);  // null is ""
    // Takes the item out of its menu (nothing when in none); an item without
    // references is destroyed then.
    void (*menuItemRemove)(AVMenuItem item);
    const char* (*menuItemGetName)(AVMenuItem item);  // host-owned, valid while the item lives
    // Runs the item's compute-enabled / compute-marked procedure; none answers
    // true / false; a procedure that throws answers false.
    bool (*menuItemIsEnabled)(AVMenuItem item);
    bool (*menuItemIsMarked)(AVMenuItem item);
    // Set the item's procedures (AVComputeEnabledProc, AVComputeMarkedProc,
    // AVExecuteProc) with their client data; a null callback removes one. Raise
    // kHostErrBadParameter for a callback the host did not make.
    void (*menuItemSetComputeEnabledProc)(AVMenuItem item, ASCallback callback, void* clientData);
    void (*menuItemSetComputeMarkedProc)(AVMenuItem item, ASCallback callback, void* clientData);
    void (*menuItemSetExecuteProc)(AVMenuItem item, ASCallback callback, void* clientData);

    // A new empty menu in no place; the caller holds no reference. Raises
    // kHostErrBadParameter for a null or empty name; a null title is "".
    AVMenu (*menuNew)(const char* title, const char* name, ExtensionID extension);
    AVMenu (*menuAcquire)(AVMenu menu);  // one more reference; answers menu
    // One reference less (raises kHostErrBadParameter when none is held); a menu
    // without references in no place is destroyed.
    void (*menuRelease)(AVMenu menu);
    // Puts item into menu before position (0 the first; at or past the end
    // appends). Raises kHostErrBadParameter when the item is in a menu already or
    // when its submenu holds menu (a cycle).
    void (*menuAddMenuItem)(AVMenu menu, AVMenuItem item, int32_t position);
    int32_t (*menuGetTitle)(AVMenu menu, char* buffer, int32_t capacity);  // as menuItemGetTitle
    const char* (*menuGetName)(AVMenu menu);  // host-owned, valid while the menu lives
    int32_t (*menuGetNumMenuItems)(AVMenu menu);
    // The item at index with one reference for the caller; null when out of range.
    AVMenuItem (*menuAcquireMenuItemByIndex)(AVMenu menu, int32_t index);
    int32_t (*menuGetMenuItemIndex)(AVMenu menu, AVMenuItem item);  // -1 when not in it

    // --- Toolbars and tool buttons. Toolbars live for the run; a button lives
    // from toolButtonNew to toolButtonDestroy.

    // The application's toolbar; it holds the marker button "endToolsGroup" that
    // ends its tools group. Never raises.
    AVToolBar (*getToolBar)(void);
    AVToolBar (*toolBarGetByName)(const char* name);  // null when none; never raises
    // A new empty toolbar; raises kHostErrBadParameter for an empty name or one in use.
    AVToolBar (*toolBarNew)(const char* name, const char* title);
    // Registers where the toolbar of that name goes (a copy is kept; the toolbar
    // need not exist yet). options: none is defined, pass 0. Raises
    // kHostErrBadParameter for a null record or a size other than 40.
    void (*toolBarSetPosition)(const char* name, uint32_t options, const AVToolBarPosition* position);
    // The first button of that name atom on the toolbar, or null.
    AVToolButton (*toolBarGetButtonByName)(AVToolBar bar, ASAtom name);
    // Puts button on bar: before other when `before` (null other: first), else
    // after other (null other: last). Raises kHostErrBadParameter when the button
    // is on a toolbar already, kHostErrNotFound when other is not on bar.
    void (*toolBarAddButton)(AVToolBar bar, AVToolButton button, bool before, AVToolButton other);
    int32_t (*toolBarGetNumButtons)(AVToolBar bar);
    // A new button on no toolbar; a separator when `separator`. options: none is
    // defined, pass 0. Raises kHostErrBadParameter for kASAtomNull.
    AVToolButton (*toolButtonNew)(ASAtom name, AVIcon icon, uint8_t options, bool separator);
    // Set the button's procedures, as for menu items.
    void (*toolButtonSetExecuteProc)(AVToolButton button, ASCallback callback, void* clientData);
    void (*toolButtonSetComputeEnabledProc)(AVToolButton button, ASCallback callback, void* clientData);
    void (*toolButtonSetComputeMarkedProc)(AVToolButton button, ASCallback callback, void* clientData);
    void (*toolButtonSetHelpText)(AVToolButton button, const char* text);  // null is ""
    // Gives the button a drop-down menu (null: none); the button holds a
    // reference on it until it gets another or is destroyed.
    void (*toolButtonSetMenu)(AVToolButton button, AVMenu menu);
    AVMenu (*toolButtonAcquireMenu)(AVToolButton button);  // with one reference, or null
    // Runs the button's compute procedures, as menuItemIsEnabled / menuItemIsMarked.
    bool (*toolButtonIsEnabled)(AVToolButton button);
    bool (*toolButtonIsMarked)(AVToolButton button);
    void (*toolButtonRemove)(AVToolButton button);  // off its toolbar; nothing when on none
    // Takes the button off its toolbar and destroys it; its handle is stale afterwards.
    void (*toolButtonDestroy)(AVToolButton button);

    // --- Batch commands (types and procedures above).

    // Registers the handler under name, keeping a copy of the record (the caller
    // may free its own). Runs initialize (false: nothing is registered and false
    // is answered), then registerCommands; answers true. Raises
    // kHostErrBadParameter for kASAtomNull, a null record, a size other than
    // sizeof(AVCommandHandlerRec), a callback the host did not make, or a name
    // that has a handler already (one whose plug-in is gone gives way).
    bool (*registerCommandHandler)(ASAtom name, const AVCommandHandlerRec* handler);
    // A new command of the handler registered under name, owned by the caller
    // (commandDestroy); the handler's created procedure runs. Raises
    // kHostErrNotFound when no handler has that name.
    AVCommand (*commandNew)(ASAtom name);
    // Runs the destroyed procedure and destroys the command with its cabinets.
    // Null is ignored. Raises kHostErrBadParameter for a global command or one
    // whose procedure is running.
    void (*commandDestroy)(AVCommand command);
    // The name atom of the command's handler.
    ASAtom (*commandGetName)(AVCommand command);
    // Makes the command global: the host keeps it (found by commandFindGlobal)
    // until its handler goes. Raises kHostErrBadParameter when a global command
    // of that name exists.
    void (*commandRegisterGlobal)(AVCommand command);
    // The global command of that name, or null. Never raises.
    AVCommand (*commandFindGlobal)(ASAtom name);
    // Hands params (the caller keeps them) to the handler's setParams procedure
    // and answers its status; kAVCommandInError when it gives none.
    AVCommandStatus (*commandSetParams)(AVCommand command, ASCab params);
    // The handler's getParams procedure fills params (the caller's cabinet);
    // nothing when it gives none; kHostErrGeneric when the procedure throws.
    void (*commandGetParams)(AVCommand command, ASCab params);
    // The handler's getProps procedure fills props (the caller's cabinet), as commandGetParams.
    void (*commandGetProps)(AVCommand command, ASCab props);
    // The command's cabinet of that name, held by the command (never destroy
    // it); when missing a new empty one with create, else null. Raises
    // kHostErrBadParameter for a null or empty name.
    ASCab (*commandGetCab)(AVCommand command, const char* name, bool create);
    // The command takes cab (the caller's own, as cabPutCab) as its cabinet of
    // that name; the one it held is destroyed (after the new one is in place).
    // Null cab removes it. Raises kHostErrBadParameter for a held cabinet.
    void (*commandPutCab)(AVCommand command, const char* name, ASCab cab);
    // The document the command works on now; null when none.
    PDDoc (*commandGetPDDoc)(AVCommand command);
    // kAVCommandReady before the first work call for a document, then the status
    // its procedures answered last.
    AVCommandStatus (*commandGetStatus)(AVCommand command);
    // The progress monitor of the command's work (its client data into
    // *outClientData, null first), or null when it has none.
    ASProgressMonitor (*commandGetProgressMonitor)(AVCommand command, void** outClientData);
    // The command's report procedure, or null when it has none. Never raises.
    AVCommandReportProc (*commandGetReportProc)(AVCommand command);
    // Non-zero when the command may show a wait cursor while it works (0 in
    // headless runs: the command then leaves the cursor alone).
    int32_t (*commandGetCursorPolicy)(AVCommand command);

    // --- Cursors.
    AVCursor (*cursorGetCurrent)(void);  // the cursor shown now (null: default); never raises
    // Shows the cursor (null: the default). Raises kHostErrBadHandle for a cursor
    // the host did not give.
    void (*cursorSet)(AVCursor cursor);
    // The standard cursor of that number (kAVCursorWait), or null for a number
    // the host does not know. Never raises.
    AVCursor (*cursorGetStandard)(int32_t id);

    // --- Files shown to the user.
    // Shows the file at path (UTF-8) to the user as this host shows files: a
    // desktop host opens it with the desktop's viewer, the command-line host
    // names it. Whether the file could be shown is not reported. Raises
    // kHostErrBadParameter for a null or empty path.
    void (*showFile)(const char* path);

    // --- Link action handlers (types above).
    // Calls proc for each action type the host has a handler for, in a fixed
    // order, until proc answers false. Never raises.
    void (*enumActionHandlers)(AVActionEnumProc proc, void* clientData);
    // The handler of that action type, or null when the host has none. Never raises.
    const AVActionHandlerProcs* (*getActionHandlerByType)(ASAtom type);

    // --- Page views. A view shows one page at a time (the first at first) at
    // 72 pixels per inch: device space is the page's displayed box, rotated as
    // the page says, y down from its top-left corner.
    AVPageView (*docGetPageView)(AVDoc view);  // raises kHostErrBadHandle for an unknown view
    // The device point of a point in the shown page's user space (clamped to 16 bits).
    void (*pageViewPointToDevice)(AVPageView pageView, const ASFixedPoint* point, int16_t* x, int16_t* y);
    // The device rectangle that holds the user-space rectangle (ordered).
    void (*pageViewRectToDevice)(AVPageView pageView, const ASFixedRect* rect, AVDevRect* out);
    // Marks a device rectangle (null: the whole view) to be drawn again.
    void (*pageViewInvalidateRect)(AVPageView pageView, const AVDevRect* rect);
    void (*pageViewDrawNow)(AVPageView pageView);  // draws what was marked
    // Shows page pageNumber (0-based); raises kHostErrBadIndex outside the document.
    void (*pageViewGoTo)(AVPageView pageView, int32_t pageNumber);
    int32_t (*pageViewGetPageNum)(AVPageView pageView);
    // Scrolls so that the rectangle, with margin pixels around it, is in sight.
    void (*pageViewScrollToRect)(AVPageView pageView, const AVDevRect* rect, bool favorLeft, bool favorTop,
                                 int16_t margin);

    // --- Cancel requests.
    // Non-zero when the user asked the run under way to stop (Esc in the desktop
    // host) since the application's progress monitor last began. Never raises.
    int32_t (*userWantsToCancel)(void);

    // --- Warnings (a later member: test size before use).
    // Shows a warning: something went wrong that the operation under way goes
    // on past, so its result stands (a log line left out, characters a font
    // cannot show). Unlike alertNote, which carries a failed run's message, a
    // warning never makes the host take the operation for failed. Shown like a
    // note in the viewer, on standard error in the command-line host. Never raises.
    void (*alertWarning)(const char* text);

    // --- Batch sequences (a later member: test size before use).
    // File index (from 0) of the sequence the command runs in, its UTF-8 path into buffer (NUL-terminated,
    // cut at capacity on a character boundary); answers the path's full length, -1 past the last file
    // or when the command runs in no sequence. Raises kHostErrBadHandle for an unknown command.
    int32_t (*commandGetSequenceFile)(AVCommand command, int32_t index, char* buffer, int32_t capacity);
};
