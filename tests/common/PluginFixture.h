// Starts the plug-in that is linked into the test program through the host's
// own setup path (PlugInMain, setup, handshake, initialise), once per process,
// with alerts recorded instead of printed.
#pragma once

#include <string>
#include <vector>

#include "loader/PluginLoader.h"
#include "qmhost/QMBase.h"

namespace qmtest {

// The loader that started the linked plug-in; fails the test when it did not start.
qmhost::PluginLoader& StartLinkedPlugin();

// Alerts (notes) shown since the last call, oldest first.
std::vector<std::string> TakeAlerts();
// Warnings shown since the last call, oldest first.
std::vector<std::string> TakeWarnings();

// A fresh empty folder under the system's temporary folder, removed at exit.
std::string MakeTempFolder(const char* prefix);

// The decoded data of a stream, read through the tables the plug-in imported.
std::string StreamData(CosObj stream);

}  // namespace qmtest
