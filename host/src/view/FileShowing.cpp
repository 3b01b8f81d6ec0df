#include "view/FileShowing.h"

#include <cstdio>

#include "core/Raise.h"

namespace qmhost {
namespace {

FileShower& shower() {
    static FileShower installed;
    return installed;
}

void printPath(const std::string& path) {
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);
}

}  // namespace

void setFileShower(FileShower installed) { shower() = std::move(installed); }

void showFile(const char* path) {
    if (!path || !*path) raise(kHostErrBadParameter, "showFile: no path");
    guarded("showFile", [&] {
        if (shower())
            shower()(path);
        else
            printPath(path);
    });
}

}  // namespace qmhost
