// CPreferences: reading and writing the file of records.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <new>

#include "support/io/CBridgeFileStream.h"
#include "support/prefs/CPreferences.h"
#include "support/prefs/CPreferencesDataTags.h"
#include "support/io/FileReplacing.h"
#include "support/io/FileSystemHelpers.h"
#include "support/prefs/PreferenceTagTypes.h"

namespace {

// Reads a little-endian 32-bit value; false when the data holds fewer than 4
// more bytes before inLimit, or fewer come.
bool ReadHeaderValue(CBridgeStream& ioStream, uint64_t inLimit, uint32_t& outValue) {
    unsigned char bytes[4];
    const uint64_t position = ioStream.GetPosition();
    if (position > inLimit || inLimit - position < sizeof bytes) return false;
    if (ioStream.Read(bytes, sizeof bytes) != sizeof bytes) return false;
    outValue = static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
               (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
    return true;
}

// An id as it reads best: a plain number, or its four characters.
std::string IdText(uint32_t inId) {
    return inId < 10000001 ? "#" + std::to_string(inId) : "'" + FourCharCodeText(inId) + "'";
}

std::string FileName(const CBridgeStream& inStream) {
    const char* path = inStream.GetFilePath();
    return path && path[0] ? std::string(path) : std::string("(no file)");
}

}  // namespace

bool CPreferences::ReadFile(bool inRequired) {
    mTags.DeleteAll();
    mProblem.clear();
    if (!FileSpecExists(mPath)) {
        if (inRequired) ThrowErrorCode(kErrPrefsMissing);
        return true;
    }
    CBridgeFileStream stream(mPath);
    if (!stream.Open(kStreamRead)) {
        mProblem = std::string("The preferences file ") + mPath.GetPath() + " cannot be opened: " +
                   std::strerror(errno) + ".";
        mModified = false;
        return false;
    }
    const bool whole = ReadFrom(stream);
    stream.Close();
    return whole;
}

bool CPreferences::ReadFrom(CBridgeStream& ioStream) {
    mTags.DeleteAll();
    mProblem.clear();
    mModified = false;
    PrefReadContext context;
    context.limit = ioStream.GetLength();
    const std::string file = FileName(ioStream);
    uint32_t version = 0;
    try {
        uint32_t signature = 0;
        if (!ReadHeaderValue(ioStream, context.limit, signature) || signature != mSignature)
            ThrowErrorCode(kErrPrefsSignature);
        // In 64 bits: the tolerance must not wrap near the largest version.
        if (!ReadHeaderValue(ioStream, context.limit, version) ||
            static_cast<uint64_t>(version) > static_cast<uint64_t>(mVersion) + kPrefVersionTolerance)
            ThrowErrorCode(kErrPrefsVersion);
        ReadTags(ioStream, context);
        return true;
    } catch (ErrorCode code) {
        if (code == kErrPrefsSignature)
            mProblem = "The file " + file + " is not a preferences file of this program.";
        else if (code == kErrPrefsVersion)
            mProblem = "The preferences file " + file + " was written by a newer version (" +
                       std::to_string(version) + ") and is not read.";
        else if (code == kErrPrefsDamaged)
            mProblem = "The preferences file " + file + " is damaged: " + context.problem + ".";
        else
            mProblem = "The preferences file " + file + " cannot be read (error " +
                       std::to_string(code) + ").";
    } catch (const std::bad_alloc&) {
        mProblem = "There is not enough memory to read the preferences file " + file + ".";
    }
    return false;
}

void CPreferences::ReadTags(CBridgeStream& ioStream) {
    PrefReadContext context;
    context.limit = ioStream.GetLength();
    ReadTags(ioStream, context);
}

void CPreferences::ReadTags(CBridgeStream& ioStream, PrefReadContext& ioContext) {
    for (;;) {
        const uint64_t start = ioStream.GetPosition();
        if (start > ioContext.limit || ioContext.limit - start < kPrefRecordHeaderSize)
            FailPrefRead(ioContext, ioStream,
                         ioContext.depth == 0 ? "the records end without an end record"
                                              : "nested records end without an end record");
        const uint32_t id = ReadPrefUInt32(ioStream, ioContext);
        const uint32_t type = ReadPrefUInt32(ioStream, ioContext);
        const uint32_t size = ReadPrefUInt32(ioStream, ioContext);
        if (id == kPrefEndId && type == kPrefTypeMark) return;  // its payload is not read
        ReadOneTag(ioStream, ioContext, id, type, size);
    }
}

void CPreferences::ReadOneTag(CBridgeStream& ioStream, PrefReadContext& ioContext, uint32_t inId,
                              uint32_t inType, uint32_t inSize) {
    // All in 64 bits, checked against what is there: a size from the file must
    // neither make a reader allocate or read beyond the data nor wrap the
    // position back to an earlier record (which would read forever).
    const uint64_t payload = ioStream.GetPosition();
    if (payload > ioContext.limit || inSize > ioContext.limit - payload)
        FailPrefRead(ioContext, ioStream,
                     "the record " + IdText(inId) + " of type '" + FourCharCodeText(inType) +
                         "' claims " + std::to_string(inSize) + " bytes, more than the data holds");
    PrefTagReader reader = FindPrefTagReader(inType);
    if (!reader) reader = &CPreferencesMemoryTag::Read;
    std::unique_ptr<CPreferencesTag> tag = reader(inId, inType, inSize, ioStream, ioContext);
    if (!tag) ThrowErrorCode(kErrNoMemory);
    const uint64_t next = payload + inSize;
    if (ioStream.GetPosition() != next &&
        ioStream.Seek(kSeekFromBeginning, static_cast<int64_t>(next)) != static_cast<int64_t>(next))
        FailPrefRead(ioContext, ioStream, "the data cannot be positioned at the next record");
    mTags.Append(tag.get());
    tag.release();  // owned by the list now
}

bool CPreferences::WriteFile() {
    mProblem.clear();
    const std::string path = mPath.GetPath();
    if (path.empty()) {
        mProblem = "No preferences file is named.";
        return false;
    }
    // A new file beside the old one, renamed over it once it is complete: a
    // failure on the way leaves the old settings whole.
    const int error =
        ReplaceFileWhole(path.c_str(), [&](const char* inTempPath, int) { return WriteToTempFile(inTempPath); }, "pfs");
    if (error != 0) {
        mProblem = "The preferences file " + path + " cannot be written (" + ReplaceFileErrorText(error) +
                   "); the old file is kept.";
        return false;
    }
    mModified = false;
    return true;
}

bool CPreferences::WriteToTempFile(const char* inTempPath) {
    CBridgeFileStream stream{TFileSpecifier(inTempPath)};
    if (!stream.Open(kStreamWrite | kStreamTruncate)) return false;
    try {
        WriteTo(stream);
    } catch (ErrorCode) {
        errno = errno ? errno : EIO;
        return false;
    } catch (const std::bad_alloc&) {
        errno = ENOMEM;
        return false;
    }
    return true;
}

void CPreferences::WriteTo(CBridgeStream& ioStream) {
    WritePrefUInt32(ioStream, mSignature);
    WritePrefUInt32(ioStream, mVersion);
    WriteTags(ioStream);
}

void CPreferences::WriteTags(CBridgeStream& ioStream) {
    for (int32_t i = 0; i < mTags.GetCount(); ++i) mTags.TagAt(i)->Write(ioStream);
    WritePrefUInt32(ioStream, kPrefEndId);
    WritePrefUInt32(ioStream, kPrefTypeMark);
    WritePrefUInt32(ioStream, 0);
}
