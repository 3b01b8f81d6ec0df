// The host atoms of the PDF names that the plug-in uses as dictionary keys and
// values, made once at start-up (InitKeyAtoms, then InitFilterAtoms) before any
// other use. Each global is named after its string ("1.3" is gAtom_1_3); the
// name "Pattern" is kept in two globals, gAtomPattern and gAtomPattern2. Before
// initialisation every global holds kASAtomNull (0xFFFF).
#pragma once

#include <cstddef>

#include "qmhost/QMBase.h"

// X(global, "string") for the 121 key and value atoms, in the order they are made.
#define QM_KEY_ATOMS(X) \
    X(gAtomXObject, "XObject") \
    X(gAtomSubtype, "Subtype") \
    X(gAtomName, "Name") \
    X(gAtomImage, "Image") \
    X(gAtomImageMask, "ImageMask") \
    X(gAtomType, "Type") \
    X(gAtomWidth, "Width") \
    X(gAtomHeight, "Height") \
    X(gAtomBitsPerComponent, "BitsPerComponent") \
    X(gAtomColorSpace, "ColorSpace") \
    X(gAtomFilter, "Filter") \
    X(gAtomContents, "Contents") \
    X(gAtomDeviceGray, "DeviceGray") \
    X(gAtomDeviceRGB, "DeviceRGB") \
    X(gAtomDeviceCMYK, "DeviceCMYK") \
    X(gAtomDeviceN, "DeviceN") \
    X(gAtomCalGray, "CalGray") \
    X(gAtomCalRGB, "CalRGB") \
    X(gAtomCyan, "Cyan") \
    X(gAtomMagenta, "Magenta") \
    X(gAtomYellow, "Yellow") \
    X(gAtomBlack, "Black") \
    X(gAtomAll, "All") \
    X(gAtomOPI, "OPI") \
    X(gAtomVersion, "Version") \
    X(gAtomF, "F") \
    X(gAtomSize, "Size") \
    X(gAtomCropRect, "CropRect") \
    X(gAtomForm, "Form") \
    X(gAtom_1_3, "1.3") \
    X(gAtom_2_0, "2.0") \
    X(gAtomTransparency, "Transparency") \
    X(gAtomOverprint, "Overprint") \
    X(gAtomLength, "Length") \
    X(gAtomBitmap, "Bitmap") \
    X(gAtomColumns, "Columns") \
    X(gAtomRows, "Rows") \
    X(gAtomColors, "Colors") \
    X(gAtomDemo, "Demo") \
    X(gAtomMatrix, "Matrix") \
    X(gAtomPosition, "Position") \
    X(gAtomFormType, "FormType") \
    X(gAtomBBox, "BBox") \
    X(gAtomResources, "Resources") \
    X(gAtomIndexed, "Indexed") \
    X(gAtomPattern, "Pattern") \
    X(gAtomSeparation, "Separation") \
    X(gAtomICCBased, "ICCBased") \
    X(gAtomLab, "Lab") \
    X(gAtomProcSet, "ProcSet") \
    X(gAtomPDF, "PDF") \
    X(gAtomImageC, "ImageC") \
    X(gAtomKids, "Kids") \
    X(gAtomDA, "DA") \
    X(gAtomAcroForm, "AcroForm") \
    X(gAtomAA, "AA") \
    X(gAtomK, "K") \
    X(gAtomFT, "FT") \
    X(gAtomJS, "JS") \
    X(gAtomFunctionType, "FunctionType") \
    X(gAtomC0, "C0") \
    X(gAtomC1, "C1") \
    X(gAtomNone, "None") \
    X(gAtomPattern2, "Pattern") \
    X(gAtomPatternType, "PatternType") \
    X(gAtomShading, "Shading") \
    X(gAtomShadingType, "ShadingType") \
    X(gAtomColorants, "Colorants") \
    X(gAtomOP, "OP") \
    X(gAtomop, "op") \
    X(gAtomRange, "Range") \
    X(gAtomFunction, "Function") \
    X(gAtomFunctions, "Functions") \
    X(gAtomFont, "Font") \
    X(gAtomBaseFont, "BaseFont") \
    X(gAtomType1, "Type1") \
    X(gAtomType3, "Type3") \
    X(gAtomDomain, "Domain") \
    X(gAtomN, "N") \
    X(gAtomBG, "BG") \
    X(gAtomBG2, "BG2") \
    X(gAtomUCR, "UCR") \
    X(gAtomUCR2, "UCR2") \
    X(gAtomca, "ca") \
    X(gAtomCA, "CA") \
    X(gAtomSMask, "SMask") \
    X(gAtomAIS, "AIS") \
    X(gAtomBM, "BM") \
    X(gAtomTK, "TK") \
    X(gAtomGroup, "Group") \
    X(gAtomS, "S") \
    X(gAtomWhitePoint, "WhitePoint") \
    X(gAtomBlackPoint, "BlackPoint") \
    X(gAtomGamma, "Gamma") \
    X(gAtomFontDescriptor, "FontDescriptor") \
    X(gAtomFontFile, "FontFile") \
    X(gAtomFontFile2, "FontFile2") \
    X(gAtomFontFile3, "FontFile3") \
    X(gAtomDecode, "Decode") \
    X(gAtomCoords, "Coords") \
    X(gAtomBitsPerSample, "BitsPerSample") \
    X(gAtomAlternate, "Alternate") \
    X(gAtomExtGState, "ExtGState") \
    X(gAtomMK, "MK") \
    X(gAtomAP, "AP") \
    X(gAtomDR, "DR") \
    X(gAtomV, "V") \
    X(gAtomHT, "HT") \
    X(gAtomBtn, "Btn") \
    X(gAtomI, "I") \
    X(gAtomFf, "Ff") \
    X(gAtomTx, "Tx") \
    X(gAtomCh, "Ch") \
    X(gAtomSig, "Sig") \
    X(gAtomText, "Text") \
    X(gAtomNM, "NM") \
    X(gAtomC, "C") \
    X(gAtomFields, "Fields") \
    X(gAtomTP, "TP") \
    X(gAtomParent, "Parent") \
    X(gAtomT, "T")

// X(global, "string") for the 16 filter atoms.
#define QM_FILTER_ATOMS(X) \
    X(gAtomLZWDecode, "LZWDecode") \
    X(gAtomLZWEncode, "LZWEncode") \
    X(gAtomASCIIHexDecode, "ASCIIHexDecode") \
    X(gAtomASCIIHexEncode, "ASCIIHexEncode") \
    X(gAtomASCII85Decode, "ASCII85Decode") \
    X(gAtomASCII85Encode, "ASCII85Encode") \
    X(gAtomRunLengthDecode, "RunLengthDecode") \
    X(gAtomRunLengthEncode, "RunLengthEncode") \
    X(gAtomCCITTFaxDecode, "CCITTFaxDecode") \
    X(gAtomCCITTFaxEncode, "CCITTFaxEncode") \
    X(gAtomDCTDecode, "DCTDecode") \
    X(gAtomDCTEncode, "DCTEncode") \
    X(gAtomFlateDecode, "FlateDecode") \
    X(gAtomFlateEncode, "FlateEncode") \
    X(gAtomJPXDecode, "JPXDecode") \
    X(gAtomJPXEncode, "JPXEncode")

#define QM_DECLARE_ATOM(global, text) extern ASAtom global;
QM_KEY_ATOMS(QM_DECLARE_ATOM)
QM_FILTER_ATOMS(QM_DECLARE_ATOM)
#undef QM_DECLARE_ATOM

// Make the atoms through the Core table (atomFromString). Host errors leave as
// their 16-bit codes; atoms made before the failure keep their values.
void InitKeyAtoms();
void InitFilterAtoms();
// Sets every atom global back to kASAtomNull (at unload).
void ResetPDFAtoms();

// The atom globals with their strings, for listing and checking.
struct PDFAtomEntry {
    ASAtom* global;
    const char* text;
};
const PDFAtomEntry* KeyAtomEntries(size_t* count);
const PDFAtomEntry* FilterAtomEntries(size_t* count);
