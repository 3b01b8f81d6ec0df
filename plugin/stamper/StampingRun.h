// The stamping run: every stamp of one profile applied, in order, to one
// document. The Stamp submenu's profile items, the stamp manager's stamp-now
// button and the command-line host start it with StampActiveDocument.
//
// A run reports through the one-message error buffer (GetErrorMessage): it is
// emptied when the run starts, and every way a run can fail leaves its message
// there. StampActiveDocument also shows that message once (an alert) at the
// end of a failed run. With logging on ('EnLo'), the run writes a header, each
// stamp's failure and its outcome (string 26 or 27) to the log.
//
// Typical use from a command (the active document, a profile by name):
//     if (!StampActiveDocumentWithProfile("Bates")) report(GetErrorMessage());
// With 'WTNF' on, the stamps go into a new untitled document that then is the
// active one (the caller saves it); the original document stays unchanged.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "stamper/CProfileFile.h"
#include "stamper/RunProgress.h"

// True when a view is active, it has a document, and the document's permission
// word allows printing, changing the document and adding notes, all three
// (false on a host that does not tell the word; StampingPermission.h).
bool CanStampActiveDocument();

// Stamps the active document (or, with 'WTNF', a new document holding a copy
// of all its pages, opened in a view) with the profile: clears the user-cancel
// flag and the error buffer, sets the run counters for the target and runs
// ApplyProfileToDocument interactively. True when the run succeeded; false when
// no view is active, when the document's security settings forbid stamping
// (the refusal shown at once, nothing changed), when the new document cannot
// be made (string 215 shown at once) or when the run failed (the error buffer
// shown once).
bool StampActiveDocument(CProfileFile& ioProfile);
// StampActiveDocument with the profile "<Profiles folder>/<inName>.nxp". A name
// that is unsafe as a file name fails with a message in the error buffer
// (nothing shown); a missing profile is a failed run.
bool StampActiveDocumentWithProfile(const char* inName);

// Reads the profile and applies its stamps, in order, to inDoc: text stamps
// are applied; image and PDF-page stamps are skipped with a log line (this
// version cannot apply them yet); stamps of any other type are skipped without
// a word. When interactive, first empties the undo stack of the document's
// view, so that Undo takes back this run only, then wraps every page's
// existing content in a save/restore pair that Undo takes back too, and stops at a user cancel seen
// after a page or between two stamps (string 209). Stops at the first stamp
// that fails in a way that ends it (its message in the log and the error
// buffer); a stamp whose link action or font failed is still applied but makes
// the answer false. A profile that cannot be read, or that lacks a stamp it
// counts, is a failed run. Pages written before a failure stay written.
bool ApplyProfileToDocument(CProfileFile& ioProfile, PDDoc inDoc, bool inInteractive);
