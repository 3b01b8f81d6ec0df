// A host cabinet held by the plug-in: made and owned here, or wrapped without
// owning. Profiles are cabinets written to files in the host's cabinet format.
//
// Host errors inside the string and binary operations are thrown as their
// 16-bit codes (CallHost), and kErrNoMemory when the host offers no "ASExtra"
// table; the file operations report by their result instead.
//
// A whole PDF document can be kept as a binary value (a stamp's link action):
// PutEmbeddedDocument stores the saved file's bytes with PutBinary, and
// GetEmbeddedDocument writes them to a temporary file and opens that; only the
// length the cabinet stored with the block is ever trusted.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"
#include "support/io/TFileSpecifier.h"

class CCabinet {
public:
    // A new empty cabinet, owned. Throws the host's code when the host cannot
    // make one, kErrNoMemory when the host offers no "ASExtra" table.
    CCabinet();
    // Wraps inCab without owning it.
    explicit CCabinet(ASCab inCab);
    // Destroys the cabinet only when it owns it.
    virtual ~CCabinet();
    CCabinet(const CCabinet&) = delete;
    CCabinet& operator=(const CCabinet&) = delete;

    ASCab GetCab() const { return mCab; }
    bool OwnsCab() const { return mOwns; }

    // The string under the key, held by the cabinet; null when there is none.
    const char* GetString(const char* inKey) const;
    // Replaces the key's value with a copy of the text.
    void PutString(const char* inKey, const char* inText);

    // The binary value under the key with its stored length in *outSize (0 and
    // null when there is none). The "%sFileSize" entry is not consulted: only the
    // length the cabinet stored with the block is ever trusted.
    const void* GetBinary(const char* inKey, int64_t* outSize) const;
    // Replaces the key's value with a copy of the bytes and puts their count as
    // the integer "<key>FileSize", which readers of older profiles look for.
    void PutBinary(const char* inKey, const void* inData, int64_t inSize);

    // Writes the cabinet to the file: to a new temporary file in the same
    // folder, flushed to disk and then renamed over the file, so that a failed
    // write leaves an existing file whole. Answers whether it was written.
    bool WriteToFile(const TFileSpecifier& inFile) const;
    // Reads the file's cabinet and moves its entries into this one (same keys
    // replaced). Answers false and leaves this cabinet as it was when the file
    // is missing, unreadable or damaged; the host's message for it is then in
    // the error-message buffer.
    bool ReadFromFile(const TFileSpecifier& inFile);

    // Saves inDoc to a temporary file and keeps the file's bytes as the binary
    // value under inKey (and their count as "<key>FileSize"). The save gives the
    // document the temporary file's path, which is deleted afterwards: meant for
    // private documents that are never saved by the user. False, with the key
    // as it was, for a null document or when the save, the read-back or the put
    // fails (the host's text then in the error buffer).
    bool PutEmbeddedDocument(const char* inKey, PDDoc inDoc);
    // Writes the binary value under inKey to a new temporary file, whose path
    // goes into outTempFile, and opens it as a PDF document (repaired when
    // possible). The caller closes the document (PDModel docClose) and then
    // deletes the file. Null, with outTempFile empty and no file left behind,
    // when the key holds no binary, the block is empty, or the file cannot be
    // written or opened as a PDF. Never throws.
    PDDoc GetEmbeddedDocument(const char* inKey, TFileSpecifier& outTempFile) const;

private:
    ASCab mCab;
    bool mOwns;
};
