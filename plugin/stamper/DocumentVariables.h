// The document values of a stamp text: the file name and path of the current
// document and its information entries, read through a replaceable reader.
#pragma once

#include <cstddef>
#include <string>

#include "qmhost/QMBase.h"

// An information entry is read into this many bytes (its terminator included);
// a longer value is cut at a character boundary.
constexpr size_t kStampInfoCapacity = 250;

// Reads what the variables show of a document. Both operations may throw;
// the variables then show the empty text.
class StampDocumentReader {
public:
    virtual ~StampDocumentReader();
    // The full path of the document's file; empty for a document without one.
    virtual std::string GetFilePath(PDDoc document) = 0;
    // The text of the information entry key ("Title", ...); empty when absent.
    virtual std::string GetInfo(PDDoc document, const char* key) = 0;
};

// The reader over the host's tables (PDModel path and information reads).
// Without host tables both answer the empty text.
class HostStampDocumentReader : public StampDocumentReader {
public:
    std::string GetFilePath(PDDoc document) override;
    std::string GetInfo(PDDoc document, const char* key) override;
};

// Installs a reader (not owned; it must outlive its use). Null puts the host
// reader back.
void SetStampDocumentReader(StampDocumentReader* reader);
StampDocumentReader& GetStampDocumentReader();

// The file name with its extension: the part of the path behind the last "/".
std::string StampFileNameOfPath(const std::string& path);
