// `quillmark session`: one host run driven by commands on standard input, one
// per line, so that documents stay open between commands and Undo can be used:
//   open FILE        open a PDF file; its view becomes the active one
//   stamp NAME       stamp the active document with the profile NAME
//   undo             take back the last stamping run of the active document
//   save FILE        save the active document to FILE (never over an opened file)
//   close            close the active document without saving
//   menu list        print the menu model
//   menu run NAME    run a menu item by name
//   quit             close everything and end (so does the end of the input)
// Each command answers one line on standard output: "ok" or "error: ...".
// Blank lines and lines beginning with "#" are skipped. The exit status is 0
// when every command answered "ok".
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

#include "cli/GlobalOptions.h"

namespace qmcli {

int RunSessionCommand(const GlobalOptions& options, const std::vector<std::string>& args);

}  // namespace qmcli
