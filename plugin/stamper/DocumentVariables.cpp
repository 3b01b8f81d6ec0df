#include "stamper/DocumentVariables.h"

#include <cstring>

#include "qmhost/HostError.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostTables.h"
#include "support/ResourceStrings.h"

namespace {

StampDocumentReader*& InstalledReader() {
    static StampDocumentReader* reader = nullptr;
    return reader;
}

}  // namespace

StampDocumentReader::~StampDocumentReader() = default;

std::string HostStampDocumentReader::GetFilePath(PDDoc document) {
    char path[kFileSpecCapacity];
    // A refused document throws after putting the host's text into the error
    // buffer; for a variable that is only an empty value, so the buffer gets its
    // earlier text back.
    const std::string earlierMessage = GetErrorMessage();
    try {
        // False (and an empty path) when the path does not fit or there is no host.
        if (!GetDocFileName(document, path, sizeof path, true, true)) return {};
    } catch (ErrorCode) {
        SetErrorMessage(earlierMessage);
        return {};
    }
    return path;
}

std::string HostStampDocumentReader::GetInfo(PDDoc document, const char* key) {
    if (!gPDModelHFT || !gPDModelHFT->docGetInfo || !key) return {};
    char value[kStampInfoCapacity] = "";
    try {
        gPDModelHFT->docGetInfo(document, key, value, static_cast<int32_t>(sizeof value));
    } catch (const HostError&) {
        // A value that cannot be read shows as nothing; it is not a failure of
        // the stamp, so the error buffer is left alone.
        return {};
    }
    value[sizeof value - 1] = '\0';
    const size_t length = std::strlen(value);
    return std::string(value, Utf8CompleteLength(value, length));
}

void SetStampDocumentReader(StampDocumentReader* reader) { InstalledReader() = reader; }

StampDocumentReader& GetStampDocumentReader() {
    static HostStampDocumentReader hostReader;
    StampDocumentReader* reader = InstalledReader();
    return reader ? *reader : hostReader;
}

std::string StampFileNameOfPath(const std::string& path) {
    return std::string(FileNamePart(path, false, true));
}
