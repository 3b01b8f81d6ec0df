// The running state of the batch command, kept in the command's cabinet
// "CommandState", and the typed pointers that the state holds:
//
//   "iCurrentStamp"  int         index of the next stamp to build
//   "iCurrentPage"   int         0-based index of the next page for the stamp in hand
//   "iStampObject"   "CStamp*"   the stamp in hand; removing the entry deletes it
//   "AVCursor"       "AVCursor"  the cursor shown before the wait cursor
//   "iProgressBegun" int         1 while the command's progress monitor is begun
//   "iStampFailed"   int         1 when a stamp of the document was built with a failure
//
// Every function here calls the host: a host error leaves as the host's
// HostError, except where it says otherwise.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "qmhost/AppViewTable.h"

class CStamp;

// Keys and type names of the state cabinet and the command's other cabinets.
inline constexpr const char kCommandStateCab[] = "CommandState";
inline constexpr const char kParamsCab[] = "Params";
inline constexpr const char kParamsDescCab[] = "ParamsDesc";
inline constexpr const char kStateCurrentStamp[] = "iCurrentStamp";
inline constexpr const char kStateCurrentPage[] = "iCurrentPage";
inline constexpr const char kStateStampObject[] = "iStampObject";
inline constexpr const char kStateCursor[] = "AVCursor";
inline constexpr const char kStateProgressBegun[] = "iProgressBegun";
inline constexpr const char kStateStampFailed[] = "iStampFailed";
inline constexpr const char kStampPointerType[] = "CStamp*";
inline constexpr const char kCursorPointerType[] = "AVCursor";

// The pointer under inKey when it was put with the type name inType; null
// otherwise (also for a missing key).
void* GetCabPointer(ASCab inCab, const char* inKey, const char* inType);
// Puts the pointer with its type name and destroy procedure (null: none).
void PutCabPointer(ASCab inCab, const char* inKey, const char* inType, void* inPointer,
                   ASCallback inDestroy);
// The stamp under inKey (type "CStamp*"), held by the cabinet; null when none.
CStamp* GetCabStampPointer(ASCab inCab, const char* inKey);
// The cabinet takes the stamp: removing or replacing the entry (or destroying
// the cabinet) deletes it through DestroyStampPointerEntry. When the put
// fails the stamp is deleted here and the host's error leaves as it is.
void PutCabStampPointer(ASCab inCab, const char* inKey, std::unique_ptr<CStamp> inStamp);
// The destroy procedure of "CStamp*" entries: deletes the stamp. Never throws.
void DestroyStampPointerEntry(void* inStamp);
// The host callback of DestroyStampPointerEntry, made on first use.
ASCallback GetDestroyStampCallback();
// Forgets the callback (at unload: the host forgets it too).
void ForgetDestroyStampCallback();

// The atom of "StamperCmd", made on first use (kept for the process).
ASAtom GetBatchCommandAtom();
// Whether the command is this plug-in's global command: its handler's name is "StamperCmd".
bool IsGlobalCommand(AVCommand inCommand);

// The command's state cabinet; made when missing and inCreate, else null.
ASCab GetCommandState(AVCommand inCommand, bool inCreate);
int32_t GetStateInt(ASCab inState, const char* inKey, int32_t inDefault);
void PutStateInt(ASCab inState, const char* inKey, int32_t inValue);
// Removes the key (a stamp under it is deleted).
void RemoveStateKey(ASCab inState, const char* inKey);

// Keeps the cursor shown now under "AVCursor" and shows the host's wait cursor.
void ShowBatchWaitCursor(ASCab inState);
// When "AVCursor" is there, shows the cursor it keeps again (also the host's
// default cursor, kept as null) and removes the entry.
void RestoreBatchCursor(ASCab inState);

// Begins the command's progress monitor with inDuration and the value 0, and
// notes it in the state; nothing when the command has no monitor.
void BeginBatchProgress(AVCommand inCommand, ASCab inState, int32_t inDuration);
void SetBatchProgressValue(AVCommand inCommand, int32_t inValue);
// Ends the monitor's operation when the state says it is begun.
void EndBatchProgress(AVCommand inCommand, ASCab inState);

// Tells the command's report procedure (when it has one): the severity, a
// host error code (0: none) and a message (empty: none). Never throws.
void ReportToCommand(AVCommand inCommand, int32_t inSeverity, int32_t inErrorCode,
                     const std::string& inMessage) noexcept;
