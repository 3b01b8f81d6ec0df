// The process-wide user-cancel flag. A long run tests it between pages while a
// Cancel button sets it. False at load; only SetUserCancelled (false) clears it.
#pragma once

void SetUserCancelled(const bool& inCancelled);
// Runs PumpMessages first, so that a click on Cancel queued meanwhile is handled
// and can set the flag, then answers the flag.
bool IsUserCancelled();
// Handles the events that are waiting in the thread's queue through the
// installed pump and returns when none is left; does nothing when no pump is
// installed (the command-line host and pure unit tests have no event loop).
// Handlers of any window may run inside it.
void PumpMessages();
// Installs the pump that PumpMessages runs: the dialogs install their toolkit's
// when the plug-in starts with them (the core links no toolkit); null removes it.
typedef void (*MessagePump)();
void SetMessagePump(MessagePump inPump);
// Throws kErrUserCancelled (-128) when IsUserCancelled () is true.
void ThrowIfUserCancelled();
