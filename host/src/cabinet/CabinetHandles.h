// Handles of cabinets and texts, and ownership of those that no cabinet holds
// (the ones a plug-in owns). Handle values are numbers from one counter, never
// reused, so a stale handle or a text handle given as a cabinet is recognised.
#pragma once

#include <cstddef>
#include <memory>

#include "qmhost/QMBase.h"

namespace qmhost {

class Cabinet;
class HostText;

// Called by the constructors and destructors of Cabinet and HostText.
ASCab registerCabinet(Cabinet& cabinet);
void forgetCabinet(ASCab handle);
ASText registerText(HostText& text);
void forgetText(ASText handle);

// The object of a handle; raise kHostErrBadHandle for null, unknown or stale ones.
Cabinet& cabinetOf(ASCab handle);
HostText& textOf(ASText handle);

// Keeps a free-standing object for its owner and answers its handle.
ASCab adoptFreeCabinet(std::unique_ptr<Cabinet> cabinet);
ASText adoptFreeText(std::unique_ptr<HostText> text);
// Hands a free-standing object over (to be put into a cabinet or destroyed).
// Raise kHostErrBadHandle for a bad handle, kHostErrBadParameter for an object
// that a cabinet holds.
std::unique_ptr<Cabinet> releaseFreeCabinet(ASCab handle);
std::unique_ptr<HostText> releaseFreeText(ASText handle);

// Objects alive now, held or free (tests check that nothing leaks).
size_t liveCabinetCount();
size_t liveTextCount();

}  // namespace qmhost
