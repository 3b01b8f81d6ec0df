// quillmark: the command-line host. It loads the Quillmark plug-in from a
// plug-ins folder and drives it without a display.
#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "HostTables.h"
#include "cli/InfoCommand.h"
#include "cli/PluginInstall.h"
#include "loader/PluginLoader.h"
#include "qmhost/AcroSupportTable.h"
#include "qmhost/CoreTable.h"

namespace {

const char* kUsage =
    "usage: quillmark [--plugin-dir DIR] [--version]\n"
    "       quillmark info FILE.pdf\n"
    "\n"
    "  --version         load the plug-in and print its name and version\n"
    "  --plugin-dir DIR  the plug-ins folder (default: a per-user folder into which\n"
    "                    the bundled plug-in is installed on first run)\n"
    "  info FILE.pdf     print the page count and each page's box\n";

struct Options {
    std::string pluginDir;
    bool version = false;
    bool help = false;
    std::vector<std::string> command;
};

bool ParseOptions(int argc, char** argv, Options* options, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--version") options->version = true;
        else if (arg == "--help" || arg == "-h") options->help = true;
        else if (arg == "--plugin-dir") {
            if (++i >= argc) {
                *error = "--plugin-dir needs a folder";
                return false;
            }
            options->pluginDir = argv[i];
        } else if (arg.rfind("--", 0) == 0) {
            *error = "unknown option " + arg;
            return false;
        } else {
            options->command.push_back(arg);
        }
    }
    return true;
}

// The plug-in's name and version from its product-information table.
std::string PluginProductInfo() {
    const CoreTable* core = qmhost::coreTable();
    const void* table = core->getTable(core->atomFromString("KESO:Quillmark"), 1);
    if (!table) return "";
    auto entry = reinterpret_cast<void (*)(char*)>(
        qmhost::acroSupportTable()->getEntry(static_cast<HFT>(const_cast<void*>(table)), 1));
    if (!entry) return "";
    char buffer[256] = "";
    entry(buffer);
    return buffer;
}

int LoadPlugin(const Options& options, qmhost::PluginLoader* loader) {
    std::string error;
    const std::string dir = options.pluginDir.empty() ? qmcli::DefaultPluginDir() : options.pluginDir;
    const std::string module = qmcli::InstallModule(dir, &error);
    if (module.empty()) {
        std::fprintf(stderr, "quillmark: %s\n", error.c_str());
        return 1;
    }
    const auto result = loader->load(module);
    if (!result.ok) {
        std::fprintf(stderr, "quillmark: %s\n", result.message.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // The event loop's owner: the plug-in lets pending events through during long runs.
    QCoreApplication application(argc, argv);
    Options options;
    std::string error;
    if (!ParseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "quillmark: %s\n%s", error.c_str(), kUsage);
        return 2;
    }
    if (options.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (!options.command.empty()) {
        if (options.command[0] == "info" && options.command.size() == 2)
            return qmcli::RunInfo(options.command[1]);
        std::fprintf(stderr, "quillmark: unknown command\n%s", kUsage);
        return 2;
    }
    qmhost::PluginLoader loader;
    if (int status = LoadPlugin(options, &loader)) return status;
    if (options.version) {
        const std::string info = PluginProductInfo();
        if (info.empty()) {
            std::fprintf(stderr, "quillmark: the plug-in offers no product information\n");
            return 1;
        }
        std::printf("%s\nquillmark host %s\n", info.c_str(), QM_VERSION);
    } else {
        std::printf("The plug-in \"%s\" loaded.\n", loader.extensionName().c_str());
    }
    loader.unload();
    return 0;
}
