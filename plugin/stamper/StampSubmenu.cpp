#include "stamper/StampSubmenu.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "stamper/CProfileFile.h"
#include "stamper/HostServices.h"
#include "stamper/StampingRun.h"
#include "stamper/StamperDialogSeams.h"
#include "stamper/StamperMenuSupport.h"
#include "support/HostHandle.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

CStampMenuItem* CStampMenuItem::smStampMenuItem = nullptr;

namespace {

bool FoldedLess(const std::string& inA, const std::string& inB) {
    const auto fold = [](unsigned char c) { return static_cast<char>(std::tolower(c)); };
    const size_t n = std::min(inA.size(), inB.size());
    for (size_t i = 0; i < n; ++i) {
        const char a = fold(static_cast<unsigned char>(inA[i]));
        const char b = fold(static_cast<unsigned char>(inB[i]));
        if (a != b) return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
    }
    if (inA.size() != inB.size()) return inA.size() < inB.size();
    return inA < inB;
}

std::string ProfileItemName(int32_t inIndex) {
    char name[32];
    std::snprintf(name, sizeof name, "VELM:SProfile%d", static_cast<int>(inIndex));
    return name;
}

}  // namespace

std::vector<std::string> ListProfileFiles(const char* inFolder) {
    namespace fs = std::filesystem;
    std::vector<std::string> names;
    if (!inFolder || !*inFolder) return names;
    std::error_code error;
    fs::directory_iterator it(inFolder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string leaf = it->path().filename().string();
        // Only the file's own name counts: a ".nxp" in the folder's path would
        // otherwise make every file of the folder a profile.
        if (leaf.find(kProfileFileExtension) == std::string::npos) continue;
        std::error_code kind;
        if (!it->is_regular_file(kind)) continue;  // a folder named "x.nxp" is no profile
        names.push_back(leaf);
    }
    // The folder lists its entries in no fixed order here; sorted names keep the
    // items and their numbers the same from one listing to the next.
    std::sort(names.begin(), names.end(), FoldedLess);
    std::vector<std::string> paths;
    const std::string folder = inFolder;
    for (const std::string& leaf : names) paths.push_back(folder.back() == '/' ? folder + leaf : folder + "/" + leaf);
    return paths;
}

// --- CProfileMenuItem

CProfileMenuItem::CProfileMenuItem(int32_t inIndex, const TFileSpecifier& inFile) : mFile(inFile) {
    CProfileFile profile(mFile.GetPath());
    Create(profile.GetProfileName(), ProfileItemName(inIndex).c_str(), 0, 0, nullptr, 0, nullptr);
}

bool CProfileMenuItem::ComputeEnabled() {
    if (StampManagerExists()) return false;
    return FileSpecExists(mFile) && CanStampActiveDocument();
}

void CProfileMenuItem::Execute() {
    // A copy: the run may let the host list the Stamp submenu anew, which frees
    // this item; nothing of it is used once the run has begun.
    CProfileFile profile(mFile.GetPath());
    StampActiveDocument(profile);
}

// --- CStampMenuItem

CStampMenuItem::CStampMenuItem(AVMenu inParent) {
    BuildSubmenuItems([&] {
        const std::string title = MenuTitle(kStrStampDocument);
        mSubmenu.Create(title.c_str(), "VELM:SStampMenu");
        Create(title.c_str(), "VELM:SStamp", 0, 0, mSubmenu.GetMenu(), 0, nullptr);
        CAVMenu(inParent).AddMenuItem(GetMenuItem(), kAVMenuAppend);
        RebuildProfileItems();
    });
    smStampMenuItem = this;
}

CStampMenuItem::~CStampMenuItem() {
    if (smStampMenuItem == this) smStampMenuItem = nullptr;
    TakeOutOfMenu(*this);
}

bool CStampMenuItem::ComputeEnabled() {
    if (StampManagerExists()) return false;
    RebuildProfileItems();
    return mSubmenu.GetNumMenuItems() > 0;
}

void CStampMenuItem::RebuildProfileItems() {
    try {
        CallHost([&] {
            // Bounded by the count at the start: a host that does not take an
            // item out must not keep this loop going.
            for (int32_t left = mSubmenu.GetNumMenuItems(); left > 0 && mSubmenu.GetNumMenuItems() > 0; --left) {
                const CHostMenuItemRef item(mSubmenu.AcquireMenuItemByIndex(0));
                if (!item.Get()) break;
                gAppViewHFT->menuItemRemove(item.Get());
            }
        });
    } catch (ErrorCode) {
        // The removal ends here; the profiles are listed all the same.
    }
    // The old items are freed here, each taking its callbacks off its host item first.
    mProfileItems.clear();
    BuildProfileItems();
}

void CStampMenuItem::BuildProfileItems() {
    int32_t index = 0;
    for (const std::string& path : ListProfileFiles(GetProfilesFolderPath())) {
        CProfileFile profile(path.c_str());
        if (profile.IsEmpty()) continue;  // a path too long to name the file
        auto item = std::make_unique<CProfileMenuItem>(index, profile);
        mSubmenu.AddMenuItem(item->GetMenuItem(), kAVMenuAppend);
        mProfileItems.push_back(std::move(item));
        ++index;
    }
}

CProfileMenuItem* CStampMenuItem::GetProfileItem(int32_t inIndex) const {
    if (inIndex < 0 || inIndex >= GetProfileItemCount()) return nullptr;
    return mProfileItems[static_cast<size_t>(inIndex)].get();
}
