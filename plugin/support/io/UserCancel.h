// The process-wide user-cancel flag. A long run tests it between pages while a
// Cancel button sets it. False at load; only SetUserCancelled (false) clears it.
#pragma once

void SetUserCancelled(const bool& inCancelled);
// Runs PumpMessages first, so that a click on Cancel queued meanwhile is handled
// and can set the flag, then answers the flag.
bool IsUserCancelled();
// Handles the events that are waiting in the thread's queue (when a
// QCoreApplication exists; otherwise does nothing) and returns when none is
// left. Handlers of any window may run inside it.
void PumpMessages();
// Throws kErrUserCancelled (-128) when IsUserCancelled () is true.
void ThrowIfUserCancelled();
