#include "support/prefs/CPreferences.h"

#include <memory>
#include <new>

#include "support/prefs/CPreferencesTag.h"

CPreferences::CPreferences() = default;

CPreferences::CPreferences(const char* inPath, uint32_t inSignature, uint32_t inVersion,
                           uint32_t inCreator, uint32_t inType)
    : mSignature(inSignature), mVersion(inVersion), mType(inType), mCreator(inCreator) {
    mPath.SetPath(inPath);
}

CPreferences::CPreferences(const CPreferences& inOther) { Copy(inOther); }

CPreferences::~CPreferences() = default;  // the tag list deletes the tags

CPreferences& CPreferences::operator=(const CPreferences& inOther) {
    if (&inOther != this) Copy(inOther);
    return *this;
}

void CPreferences::Copy(const CPreferences& inOther) {
    if (&inOther == this) return;
    mPath = inOther.mPath;
    mSignature = inOther.mSignature;
    mVersion = inOther.mVersion;
    mCreator = inOther.mCreator;
    mType = inOther.mType;
    mTags.Copy(inOther.mTags);
}

const char* CPreferences::GetPath() const { return mPath.GetPath(); }

bool CPreferences::SetPath(const char* inPath) { return mPath.SetPath(inPath); }

void CPreferences::SetSignature(uint32_t inSignature) { mSignature = inSignature; }

void CPreferences::SetVersion(uint32_t inVersion) { mVersion = inVersion; }

void CPreferences::SetCreatorAndType(uint32_t inCreator, uint32_t inType) {
    mCreator = inCreator;
    mType = inType;
}

void CPreferences::AddTag(CPreferencesTag* inTag) {
    if (!inTag) return;
    // Removing the tags of its id first would delete a tag that is already held
    // and leave the list pointing at freed memory.
    if (mTags.IndexOf(inTag) != CBridgeArray::kNotFound) return;
    RemoveTag(inTag->GetId());
    std::unique_ptr<CPreferencesTag> owned(inTag);  // the store took ownership
    mTags.Append(inTag);
    owned.release();
    mModified = true;
}

void CPreferences::AddTag(std::unique_ptr<CPreferencesTag> inTag) { AddTag(inTag.release()); }

CPreferencesTag* CPreferences::GetTag(uint32_t inId) const {
    for (int32_t i = 0; i < mTags.GetCount(); ++i) {
        CPreferencesTag* tag = mTags.TagAt(i);
        if (tag->GetId() == inId) return tag;
    }
    return nullptr;
}

void CPreferences::RemoveTag(uint32_t inId) {
    bool removed = false;
    for (int32_t i = mTags.GetCount() - 1; i >= 0; --i) {
        if (mTags.TagAt(i)->GetId() != inId) continue;
        mTags.DeleteAt(i);
        removed = true;
    }
    if (removed) mModified = true;
}

int32_t CPreferences::GetTagCount() const { return mTags.GetCount(); }

bool CPreferences::GetTagAt(int32_t inIndex, CPreferencesTag*& outTag) const {
    return mTags.GetAt(inIndex, outTag);
}

void CPreferences::DeleteTagAt(int32_t inIndex) { mTags.DeleteAt(inIndex); }

void CPreferences::Dump(FILE* ioFile, int inIndent) const {
    if (!ioFile) return;
    DumpPrefIndent(ioFile, inIndent);
    std::fprintf(ioFile, ">>> DUMPING PREFERENCE STRUCTURE WITH %d MEMBERS\n", mTags.GetCount());
    for (int32_t i = 0; i < mTags.GetCount(); ++i) {
        mTags.TagAt(i)->DumpHeader(ioFile, inIndent);
        std::fflush(ioFile);
    }
}

void CPreferences::DumpToFile(const char* inPath, int inIndent) const {
    if (!inPath) return;
    FILE* file = std::fopen(inPath, "w");
    if (!file) return;
    Dump(file, inIndent);
    std::fclose(file);
}
