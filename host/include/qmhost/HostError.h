// The one exception type that host operations throw. It crosses the module
// boundary, so its type information lives in the shared library libqmhostabi
// (default visibility, out-of-line destructor) and both sides use that copy.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

#include "qmhost/QMBase.h"

// Host error codes. The low 16 bits are in 0x3001..0x30FF: never zero and
// never equal to one of the plug-in's own 16-bit error codes, so a plug-in
// that keeps only the low half still tells them apart.
enum : int32_t {
    kHostErrGeneric = 0x40003001,     // an operation failed; the message says why
    kHostErrNoMemory = 0x40003002,    // memory could not be had
    kHostErrBadParameter = 0x40003003,  // a null or invalid argument
    kHostErrBadHandle = 0x40003004,   // a handle that is unknown, stale or of a closed document
    kHostErrBadType = 0x40003005,     // a Cos object of the wrong type for the operation
    kHostErrBadIndex = 0x40003006,    // an array or page index out of range
    kHostErrFileNotFound = 0x40003007,
    kHostErrFileOpen = 0x40003008,    // a file exists but cannot be opened
    kHostErrFileRead = 0x40003009,
    kHostErrFileWrite = 0x4000300A,
    kHostErrPathTooLong = 0x4000300B,  // a path longer than PATH_MAX
    kHostErrBadPDF = 0x4000300C,      // cannot be read as a PDF file
    kHostErrEncrypted = 0x4000300D,   // needs a password
    kHostErrFilter = 0x4000300E,      // a stream filter the host cannot encode or decode
    kHostErrStream = 0x4000300F,      // a host stream operation failed
    kHostErrNotFound = 0x40003010,    // a named thing does not exist
    kHostErrCancelled = 0x40003011,
    kHostErrUnsupported = 0x40003012,  // an operation this host does not offer
    kHostErrBadImage = 0x40003013,    // not an image file of a known kind, or damaged, cut or too large
};

class QMHOST_ABI HostError : public std::exception {
public:
    HostError(int32_t code, std::string message);
    HostError(const HostError&);
    HostError& operator=(const HostError&);
    ~HostError() override;

    int32_t code() const noexcept { return mCode; }
    const char* what() const noexcept override;

private:
    int32_t mCode;
    std::string mMessage;
};
