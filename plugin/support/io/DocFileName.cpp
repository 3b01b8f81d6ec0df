// The file names of host documents (declared in FileSystemHelpers.h).
#include <cstring>

#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"

namespace {

bool HostHasDocuments() { return gAppViewHFT && gPDModelHFT && gAppSupportHFT; }

// The document's path text into buffer (kFileSpecCapacity bytes): true with an
// empty text for a document without a file; false when the path does not fit.
bool DocPathText(PDDoc doc, char* buffer) {
    buffer[0] = '\0';
    ASPathName path = CallHost([&] { return gPDModelHFT->docAcquirePath(doc); });
    if (!path) return true;  // an untitled document: no file, so no name
    const int32_t length =
        gAppSupportHFT->pathGetText(path, buffer, static_cast<int32_t>(kFileSpecCapacity));
    gAppSupportHFT->releasePath(path);
    if (length < 0 || static_cast<size_t>(length) >= kFileSpecCapacity) {
        buffer[0] = '\0';  // the host cut it: a cut path names another file
        return false;
    }
    return true;
}

PDDoc DocOfView(AVDoc view) {
    return CallHost([&] { return gAppViewHFT->avDocGetPDDoc(view); });
}

}  // namespace

std::string_view FileNamePart(std::string_view inPath, bool inKeepFolder, bool inKeepExtension) {
    const size_t slash = inPath.rfind('/');
    const size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    if (!inKeepExtension) {
        // Only a "." in the file name starts an extension, not one in a folder name.
        const size_t dot = inPath.rfind('.');
        if (dot != std::string_view::npos && dot >= nameStart) inPath = inPath.substr(0, dot);
    }
    if (!inKeepFolder) inPath = inPath.substr(nameStart);
    return inPath;
}

bool GetDocFileName(PDDoc inDoc, char* outName, size_t inCapacity, bool inKeepFolder,
                    bool inKeepExtension) {
    if (!outName || inCapacity == 0) return false;
    outName[0] = '\0';
    if (!HostHasDocuments()) return false;
    char path[kFileSpecCapacity];
    if (!DocPathText(inDoc, path)) return false;
    const std::string_view name = FileNamePart(path, inKeepFolder, inKeepExtension);
    if (name.size() >= inCapacity) return false;
    std::memcpy(outName, name.data(), name.size());
    outName[name.size()] = '\0';
    return true;
}

bool GetActiveDocFileName(char* outName, size_t inCapacity, bool inKeepFolder,
                          bool inKeepExtension) {
    if (!HostHasDocuments()) return false;
    AVDoc view = gAppViewHFT->getActiveDoc();
    if (!view) return false;
    return GetDocFileName(DocOfView(view), outName, inCapacity, inKeepFolder, inKeepExtension);
}

bool GetDocFileSpec(AVDoc inView, TFileSpecifier& outSpec) {
    outSpec.SetPath("");
    if (!HostHasDocuments()) return false;
    return GetDocFileName(DocOfView(inView), outSpec.GetPathBuffer(), kFileSpecCapacity, true,
                          true);
}
