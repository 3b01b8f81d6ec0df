// The documents a command opens as views, and saving the active one. Every
// file opened is remembered as an input: saving over an input is refused, so
// a user's file is never written over.
#pragma once

#include <string>
#include <vector>

#include "qmhost/QMBase.h"

namespace qmcli {

// Opens the PDF file at path as a document without a view; the caller closes
// it (docClose). Raises HostError when it cannot be opened.
PDDoc OpenPdfFile(const std::string& path);

class OpenDocuments {
public:
    // Opens the PDF file as a document with a view, which becomes the active
    // view (notification 4 goes out). False with *error (naming the file) set
    // when it cannot be opened; then no document is left open. The calls go
    // through the tables the host offers to plug-ins (see OpenDocuments.cpp).
    bool open(const std::string& path, std::string* error);
    // Saves the active view's document to path (notification 33 first; written
    // through a temporary file renamed over the target). Refused when no view is
    // open, or path is a folder or a file opened as an input.
    bool saveActive(const std::string& path, std::string* error);
    // Closes the active view without saving; the most recently opened other
    // view becomes active.
    bool closeActive(std::string* error);
    const std::vector<std::string>& inputs() const { return mInputs; }

private:
    std::vector<std::string> mInputs;
};

}  // namespace qmcli
