// `quillmark prefs get [TAG]` and `quillmark prefs set TAG VALUE`: the
// plug-in's settings in "Quillmark.pfs" beside its module (PrefsFile.h).
//   WTNF  bool  stamp into a new document instead of the document itself
//   EnLo  bool  logging on
//   IPRo  bool  ignore the page's rotation when a stamp is placed
//   BFLe  long  Bates numbers padded with zeros to this many characters (0..40)
//   URNu  long  page numbers as Roman numerals: 0 no, 1 upper case, 2 lower case
//   PrPr  bool  the stamp manager's preview is on
//   PPNu  long  the stamp manager's preview page
// get prints the value ("true", "false" or a number); a setting the file
// lacks prints its default, as the plug-in reads it. A file that holds a
// setting with another type or outside its range is refused, as a damaged one
// is; set mends the setting it sets. The plug-in reads the file when it
// starts, so a setting changes the next run.
#pragma once

#include <string>
#include <vector>

#include "cli/GlobalOptions.h"

namespace qmcli {

int RunPrefsCommand(const GlobalOptions& options, const std::vector<std::string>& args);

}  // namespace qmcli
