// The plug-in's own failure type: a signed 16-bit code thrown by value.
// Always throw through ThrowErrorCode: `throw -108;` would throw an int.
#pragma once

#include <cstdint>

typedef int16_t ErrorCode;

enum : ErrorCode {
    kErrAssertion = 1,          // an assertion failed (after its alert)
    kErrCosObject = -1,         // making or storing a Cos object or undo record failed
    kErrRemoveKey = -2,         // removing a dictionary key failed
    kErrOpenFile = -3,          // opening a file failed
    kErrPrefsMissing = -42,     // a required preferences file is missing
    kErrNoMemory = -108,        // memory or a host object could not be had
    kErrUserCancelled = -128,   // the user asked to stop
    kErrNotFound = 8000,
    kErrStream = 8002,          // making or opening a stream failed
    kErrColorSpace = 8006,      // a colour space other than gray, RGB or CMYK
    kErrNotANumber = 8014,      // a Cos object that must be a number is not one
    kErrPrefsSignature = 23400,
    kErrPrefsVersion = 23401,
};

[[noreturn]] inline void ThrowErrorCode(ErrorCode code) { throw code; }
