// Basic types shared by the host and the plug-in: handles, fixed-point numbers,
// callbacks and the numbers the host defines. Types and constants only.
#pragma once

#include <cstdint>

#if defined(__GNUC__)
#define QMHOST_ABI __attribute__((visibility("default")))
#else
#define QMHOST_ABI
#endif

// A 16-bit name atom; the same string gives the same atom for the whole run.
typedef uint16_t ASAtom;
constexpr ASAtom kASAtomNull = 0xFFFF;

// Signed 16.16 fixed-point number.
typedef int32_t ASFixed;
constexpr ASFixed kASFixedOne = 0x10000;

struct ASFixedPoint {
    ASFixed h;
    ASFixed v;
};

// Rectangle in user-space units (points), 16.16. Normalised rectangles have
// left <= right and bottom <= top (y grows upwards).
struct ASFixedRect {
    ASFixed left;
    ASFixed top;
    ASFixed right;
    ASFixed bottom;
};

// Affine matrix [a b c d h v]: x' = a*x + c*y + h, y' = b*x + d*y + v.
struct ASFixedMatrix {
    ASFixed a, b, c, d, h, v;
};

// Opaque handles. Their values are host-chosen numbers, never pointers that the
// plug-in may dereference; the host checks every handle it is given.
typedef struct _t_ExtensionID* ExtensionID;
typedef struct _t_ASCallback* ASCallback;
typedef struct _t_ASStm* ASStm;
typedef struct _t_ASPathName* ASPathName;
typedef struct _t_ASText* ASText;
typedef struct _t_ASCab* ASCab;
typedef struct _t_HFT* HFT;
typedef struct _t_HFTServer* HFTServer;
typedef struct _t_CosDoc* CosDoc;
typedef struct _t_PDDoc* PDDoc;
typedef struct _t_PDPage* PDPage;
typedef struct _t_AVDoc* AVDoc;

// A Cos object: two 32-bit words. {0, 0} is the null object.
struct CosObj {
    uint32_t a;
    uint32_t b;
};

// Objects of the document model that are Cos dictionaries underneath; the null
// object ({0, 0}) stands for none.
struct PDAnnot {
    CosObj cos;
};
struct PDAction {
    CosObj cos;
};
struct PDViewDestination {
    CosObj cos;
};
struct PDFileSpec {
    CosObj cos;
};

// Page-content objects: fonts, text objects and system fonts.
typedef struct _t_PDEFont* PDEFont;
typedef struct _t_PDEText* PDEText;
typedef struct _t_PDSysFont* PDSysFont;

// Objects of the page-content model (PDFEditRead, PDFEditWrite, PagePDEContent):
// one handle type, told apart by objectGetType; the other names say what an
// operation expects. Reference-counted: "new" and "acquire" operations give a
// reference to the caller, "get" operations lend one that lasts while its owner
// (the content, element or clip that answered it) holds the object.
typedef struct _t_PDEObject* PDEObject;
typedef PDEObject PDEContent;
typedef PDEObject PDEElement;
typedef PDEObject PDEImage;
typedef PDEObject PDEForm;
typedef PDEObject PDEClip;
typedef PDEObject PDEContainer;
typedef PDEObject PDEColorSpace;

// Cos object types as the host numbers them.
enum : int32_t {
    CosNull = 0,
    CosInteger = 1,
    CosFixed = 2,
    CosBoolean = 3,
    CosName = 4,
    CosString = 5,
    CosDict = 6,
    CosArray = 7,
    CosStream = 8,
};

// Any procedure handed to makeCallback; the host casts it back to the
// signature of the place where the callback is registered.
typedef void (*ASProc)(void);

// Versions of the host's tables and of the plug-in handshake.
constexpr uint32_t kHandshakeVersion = 0x20000;
constexpr uint32_t kCoreTableVersion = 0x20000;
constexpr uint32_t kTableVersion5_1 = 0x50001;
constexpr uint32_t kTableVersion5_0 = 0x50000;
constexpr uint32_t kTableVersion4_5 = 0x40005;
constexpr uint32_t kTableVersion4_0 = 0x40000;

// The host's major version (a host setting: 8 by default, 5 on request).
constexpr int32_t kDefaultHostMajorVersion = 8;
