#include "stamper/CCabinet.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdlib>
#include <string>

#include "support/io/CASPathName.h"
#include "support/ErrorCode.h"
#include "support/ErrorMessage.h"
#include "support/io/FileReplacing.h"
#include "support/io/FileSystemHelpers.h"
#include "support/HostFrame.h"
#include "support/HostTables.h"
#include "support/ScopeGuard.h"

namespace {

// Opens a host file stream on the path, runs body with it and closes it (and
// the path) whatever happens. Host errors pass through.
template <class F>
void WithFileStream(const char* inPath, int16_t inMode, F&& body) {
    const CASPathName path(inPath);
    ASStm stream = gAppSupportHFT->fileStmOpen(path, inMode);
    // After a failed body the first failure is the one worth reporting; after
    // one that ran through, a failed flush raises from the close.
    WithCleanUp([&] { body(stream); }, [&] { gAppSupportHFT->stmClose(stream); });
}

// The cabinet table; without it no cabinet operation can be done.
const ASExtraTable& Extra() {
    if (!gASExtraHFT) ThrowErrorCode(kErrNoMemory);
    return *gASExtraHFT;
}

}  // namespace

CCabinet::CCabinet() : mCab(nullptr), mOwns(true) {
    mCab = CallHost([] { return Extra().cabNew(); });
}

CCabinet::CCabinet(ASCab inCab) : mCab(inCab), mOwns(false) {}

CCabinet::~CCabinet() {
    if (!mOwns || !mCab || !gASExtraHFT) return;
    try {
        gASExtraHFT->cabDestroy(mCab);
    } catch (const HostError&) {
        // A destructor cannot report it; the cabinet is gone or never was ours.
    }
}

const char* CCabinet::GetString(const char* inKey) const {
    return CallHost([&] { return Extra().cabGetString(mCab, inKey); });
}

void CCabinet::PutString(const char* inKey, const char* inText) {
    CallHost([&] { Extra().cabPutString(mCab, inKey, inText ? inText : ""); });
}

const void* CCabinet::GetBinary(const char* inKey, int64_t* outSize) const {
    return CallHost([&] { return Extra().cabGetBinary(mCab, inKey, outSize); });
}

void CCabinet::PutBinary(const char* inKey, const void* inData, int64_t inSize) {
    CallHost([&] {
        Extra().cabPutBinary(mCab, inKey, inData, inSize);
        const std::string sizeKey = std::string(inKey ? inKey : "") + "FileSize";
        Extra().cabPutInt(mCab, sizeKey.c_str(), static_cast<int32_t>(inSize));
    });
}

bool CCabinet::WriteToFile(const TFileSpecifier& inFile) const {
    if (inFile.IsEmpty() || !gASExtraHFT || !gAppSupportHFT) return false;
    bool hostFailed = false;
    // "qm" keeps the temporary name clear of ".nxp", which marks profiles.
    const int error = ReplaceFileWhole(
        inFile.GetPath(),
        [&](const char* inTempPath, int) {
            try {
                WithFileStream(inTempPath, kASStmWrite, [&](ASStm stream) { gASExtraHFT->cabWrite(mCab, stream); });
                return true;
            } catch (const HostError& hostError) {
                TakeHostError(hostError);
                hostFailed = true;
                return false;
            }
        },
        "qm");
    if (error != 0 && !hostFailed)
        SetErrorMessage(std::string("cannot write ") + inFile.GetPath() + ": " + ReplaceFileErrorText(error));
    return error == 0;
}

bool CCabinet::ReadFromFile(const TFileSpecifier& inFile) {
    if (inFile.IsEmpty() || !gASExtraHFT || !gAppSupportHFT) return false;
    ASCab read = nullptr;
    try {
        WithFileStream(inFile.GetPath(), kASStmRead,
                       [&](ASStm stream) { read = gASExtraHFT->cabRead(stream); });
        gASExtraHFT->cabMerge(mCab, read);
        gASExtraHFT->cabDestroy(read);
        return true;
    } catch (const HostError& error) {
        TakeHostError(error);
        try {
            gASExtraHFT->cabDestroy(read);
        } catch (const HostError&) {
        }
        return false;
    }
}

namespace {

// Largest piece handed to one stream call (the host counts in 32 bits).
constexpr int64_t kStreamChunk = int64_t(1) << 20;

// The whole file read through a host stream; raises when it passes inLimit bytes.
std::string ReadWholeFile(const char* inPath, int64_t inLimit) {
    std::string bytes;
    WithFileStream(inPath, kASStmRead, [&](ASStm stream) {
        std::string chunk(static_cast<size_t>(kStreamChunk), '\0');
        for (;;) {
            const int32_t got = gAppSupportHFT->stmRead(chunk.data(), 1, static_cast<int32_t>(chunk.size()), stream);
            if (got <= 0) break;
            if (static_cast<int64_t>(bytes.size()) + got > inLimit)
                ThrowErrorCode(kErrNoMemory);
            bytes.append(chunk.data(), static_cast<size_t>(got));
        }
    });
    return bytes;
}

void WriteWholeFile(const char* inPath, const void* inData, int64_t inSize) {
    WithFileStream(inPath, kASStmWrite, [&](ASStm stream) {
        const char* data = static_cast<const char*>(inData);
        for (int64_t done = 0; done < inSize;) {
            const auto piece = static_cast<int32_t>(std::min(kStreamChunk, inSize - done));
            gAppSupportHFT->stmWrite(data + done, 1, piece, stream);
            done += piece;
        }
    });
}

bool HasDocumentTables() { return gASExtraHFT && gAppSupportHFT && gPDModelHFT; }

}  // namespace

bool CCabinet::PutEmbeddedDocument(const char* inKey, PDDoc inDoc) {
    if (!inDoc || !inKey || !HasDocumentTables()) return false;
    TFileSpecifier temp;
    if (!MakeTempFileSpec("pdf", temp, false)) return false;
    bool stored = false;
    try {
        gPDModelHFT->docSave(inDoc, CASPathName(temp.GetPath()));
        const std::string bytes = ReadWholeFile(temp.GetPath(), kASCabMaxValueSize);
        if (!bytes.empty()) {
            PutBinary(inKey, bytes.data(), static_cast<int64_t>(bytes.size()));
            stored = true;
        }
    } catch (const HostError& error) {
        TakeHostError(error);
    } catch (ErrorCode) {
        // The host's text (if any) is in the error buffer already.
    }
    DeleteFileSpec(temp);
    return stored;
}

PDDoc CCabinet::GetEmbeddedDocument(const char* inKey, TFileSpecifier& outTempFile) const {
    outTempFile.SetPath("");
    if (!inKey || !HasDocumentTables()) return nullptr;
    PDDoc doc = nullptr;
    try {
        int64_t size = 0;
        const void* block = GetBinary(inKey, &size);
        // "<key>FileSize" is not consulted: the block's own length is the truth.
        if (!block || size <= 0) return nullptr;
        if (!MakeTempFileSpec("pdf", outTempFile, false)) return nullptr;
        WriteWholeFile(outTempFile.GetPath(), block, size);
        doc = gPDModelHFT->docOpen(CASPathName(outTempFile.GetPath()));
    } catch (const HostError& error) {
        TakeHostError(error);
    } catch (ErrorCode) {
    }
    if (!doc && !outTempFile.IsEmpty()) {
        DeleteFileSpec(outTempFile);
        outTempFile.SetPath("");
    }
    return doc;
}
