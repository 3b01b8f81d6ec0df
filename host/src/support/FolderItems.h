// Items of the default file system: a file's or folder's properties, and
// walking the items of a folder (AppSupport fileSysGetItemProps and the folder
// iteration entries).
#pragma once

#include <string>

#include "qmhost/AppSupportTable.h"

namespace qmhost {

// The properties of the item at path. Raises kHostErrFileNotFound when there is
// none, kHostErrBadParameter for a record whose size field is not
// sizeof(ASFileSysItemProps).
void itemProperties(const std::string& path, ASFileSysItemProps* props);

// Takes a snapshot of the folder's item names (byte order, "." and ".." left
// out, subfolders included) and answers the iteration with its first item's
// path in *outFirst, or null when the folder is empty. Raises
// kHostErrFileNotFound when the path names no folder.
ASFolderIterator beginFolderIteration(const std::string& folder, std::string* outFirst);
// The next item's path; false after the last. Raises kHostErrBadHandle for an
// iteration that was never begun or has ended.
bool nextFolderItem(ASFolderIterator iterator, std::string* outItem);
// Forgets the iteration; null and unknown ones are ignored.
void endFolderIteration(ASFolderIterator iterator);
// Iterations begun and not ended (tests check that none leak).
size_t liveFolderIterations();

}  // namespace qmhost
