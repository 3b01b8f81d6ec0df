// CCosStream: a Cos stream, its attributes dictionary (owned wrapper) and one
// open read of its data (closed by the destructor at the latest).
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>

#include "support/cos/CASStream.h"
#include "support/cos/CCosDict.h"
#include "support/cos/CCosObj.h"

class CCosStream : public CCosObj {
public:
    CCosStream();
    // A new stream (CreateStream).
    CCosStream(CosDoc doc, ASStm source, int64_t offset, int16_t encodeSource, CosObj attributes,
               CosObj encodeParms, int64_t length);
    // Wraps stream; asserts "CosObjGetType(inStream) == CosStream".
    CCosStream(CosDoc doc, CosObj stream);
    ~CCosStream() override;
    CCosStream(const CCosStream&) = delete;
    CCosStream& operator=(const CCosStream&) = delete;

    // Makes a new indirect stream in doc from source: offset -1 reads from where
    // the source stands, length -1 to its end; encodeSource non-zero: the bytes
    // are plain data that the host encodes with the /Filter of attributes, zero:
    // they are stored as given. On a host error the host's text is shown at once
    // and kErrStream (8002) is thrown. The source is not closed.
    void CreateStream(CosDoc doc, ASStm source, int64_t offset, int16_t encodeSource,
                      CosObj attributes, CosObj encodeParms, int64_t length);

    // Holds another stream: an open read of the old one is closed and the
    // dictionary wrapper follows.
    void Attach(CosObj stream) override;

    // Replaces the owned dictionary wrapper by one over dict.
    void SetAttributesDict(CosObj dict);
    CCosDict* GetAttributesDict() const { return mAttributes.get(); }

    // Opens the data: kCosStreamDecoded (2) to read the data, kCosStreamStored
    // (1) for the stored bytes. Asserts "(ASStm)mStream == NULL".
    void OpenStream(int16_t mode);
    void CloseStream() { mStream.Close(); }
    CASStream& GetStream() { return mStream; }

    // The stored (encoded) length in bytes.
    int64_t GetLength() const;
    // Reads the decoded data through and answers its size; the data is closed
    // afterwards.
    int64_t CountDataBytes();
    // Writes the decoded data to path (binary) through a temporary file in the
    // same folder renamed over the target. A file that cannot be made or
    // written throws kErrOpenFile (-3) with the path in the error-message
    // buffer; the target is then left as it was.
    void WriteDataToFile(const char* path);

    // A new stream in the same document with the same stored data and a copy
    // of the dictionary (values copied with the share flag) without "Length".
    CosObj Copy(bool share);
    CosObj Copy(bool share, CCosCopyMemo& memo);

    // The dictionary, then the decoded data in lines of 22 bytes: 11 groups
    // "%02X%02X " (an odd last byte "%02X" and three blanks, groups past the
    // data five blanks), then the bytes as characters ("." unless printable).
    void Dump(FILE* file);

private:
    // The dictionary wrapper, made from the stream when there is none yet.
    CCosDict& Attributes();

    CASStream mStream;
    std::unique_ptr<CCosDict> mAttributes;
};
