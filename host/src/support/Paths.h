// Path objects of the default file system behind ASPathName handles.
#pragma once

#include <string>

#include "qmhost/QMBase.h"

namespace qmhost {

// Raises kHostErrBadParameter for an empty text, kHostErrPathTooLong past PATH_MAX.
ASPathName makePath(const std::string& text);
// Raises kHostErrBadHandle for an unknown handle.
const std::string& pathOf(ASPathName path);
void releasePathHandle(ASPathName path);
size_t livePathCount();

}  // namespace qmhost
