// Types and numbers of the host's page-content model: object types, the records
// that carry an element's attributes, and flags. Types and constants only.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

// What objectGetType answers.
enum : int32_t {
    kPDEContent = 0,
    kPDEText = 1,       // a text object (BT ... ET) with its text state
    kPDEPath = 2,       // a path and how it is painted
    kPDEImage = 3,      // an image XObject (Do) or an inline image (BI ID EI)
    kPDEForm = 4,       // a form XObject placed with Do
    kPDEClip = 7,       // the clip in force at an element: a list of paths (and nested clips)
    kPDEColorSpace = 9,
    kPDEPlace = 11,     // a marked-content point (MP, DP)
    kPDEContainer = 12, // marked content (BMC/BDC ... EMC) with its own content
    kPDEShading = 13,   // a shading painted with sh
    kPDEUnknown = 14,   // operators kept as they were read (unknown ones, a form that would recur)
};

// One colour: the colour space's name (DeviceGray, DeviceRGB, DeviceCMYK or a
// name of the content's /ColorSpace resources) and its component values.
struct PDEColorValue {
    ASAtom space;        // kASAtomNull: not set
    uint16_t reserved;
    int32_t count;       // 0..8 values
    ASFixed values[8];
};

// Which fields of PDEGraphicState hold a value.
enum : uint32_t {
    kPDEGSFill = 1u << 0,
    kPDEGSStroke = 1u << 1,
    kPDEGSLineWidth = 1u << 2,
    kPDEGSLineCap = 1u << 3,
    kPDEGSLineJoin = 1u << 4,
    kPDEGSMiterLimit = 1u << 5,
    kPDEGSFlatness = 1u << 6,
    kPDEGSDash = 1u << 7,
    kPDEGSRenderingIntent = 1u << 8,
    kPDEGSExtGState = 1u << 9,
};

// An element's graphics state (164 bytes). Fields without their bit in
// setFields are the PDF defaults. `snapshot` and `check` are the host's: a
// record that comes back unchanged to elementSetGState restores the state as it
// was read, also what the record cannot show (pattern colours, several /gs).
struct PDEGraphicState {
    PDEColorValue fill;
    PDEColorValue stroke;
    ASFixed lineWidth;
    int32_t lineCap;
    int32_t lineJoin;
    ASFixed miterLimit;
    ASFixed flatness;
    ASFixed dashPhase;
    int32_t dashCount;         // 0..10
    ASFixed dash[10];
    ASAtom renderingIntent;
    ASAtom extGState;          // the last /gs resource name
    uint32_t setFields;
    uint32_t snapshot;
    uint32_t check;
};
static_assert(sizeof(PDEGraphicState) == 164, "the graphic-state record is 164 bytes");

// Image attribute flags.
enum : int32_t {
    kPDEImageExternal = 1 << 0,  // an image XObject (a Cos stream), not an inline image
    kPDEImageIsMask = 1 << 2,    // a stencil mask (/ImageMask true)
    kPDEImageInterpolate = 1 << 3,
};

// An image's attributes (52 bytes).
struct PDEImageAttrs {
    int32_t flags;             // kPDEImage... flags
    int32_t width;             // samples per row
    int32_t height;            // rows
    int32_t bitsPerComponent;
    int32_t decodeCount;       // 0..8 values in decode
    ASFixed decode[8];
};
static_assert(sizeof(PDEImageAttrs) == 52, "the image attribute record is 52 bytes");

// Content attribute flags.
enum : uint32_t {
    kPDEContentIsForm = 4,  // formType, bbox and matrix describe a form XObject
};

// A content's attributes (88 bytes): for the content of a form XObject its
// /FormType, /BBox and /Matrix.
struct PDEContentAttrs {
    uint32_t flags;
    int32_t formType;
    ASFixedRect bbox;
    ASFixedMatrix matrix;
    int32_t reserved[10];
};
static_assert(sizeof(PDEContentAttrs) == 88, "the content attribute record is 88 bytes");

// contentToCosObj: what to make.
enum : uint32_t {
    kPDEContentToPage = 1,  // a content stream and a resource dictionary
    kPDEContentToForm = 2,  // a form XObject stream (BBox and Matrix from the attributes) and its resources
};

// elementCopy flags: none are defined; the copy is deep (its clip, and for a
// container its content, are copied too).

// contentAddElem / clipAddElem: the element goes after `index`; kPDEBeforeFirst
// puts it first, and kPDEAfterLast (or any index at or past the last) at the end.
constexpr int32_t kPDEBeforeFirst = -1;
constexpr int32_t kPDEAfterLast = 0x7ffffffe;

// contentQuery questions.
enum : int32_t {
    kPDEQueryWarnings = 1,  // how many problems reading the content met (answers the count)
    kPDEQueryModified = 2,  // 1 when the content was changed since it was read
};

// imageQuery questions.
enum : int32_t {
    kPDEImageQueryHasSMask = 1,  // 1 when the image XObject has a soft mask
};

// Called by objectDump with each line of the description; never raises.
typedef void (*PDEDumpProc)(const char* text, void* clientData);
