// Facts about image dictionaries that the dictionary holds only implicitly:
// the decode parameters that go with its filter and the colour-space family
// of its "ColorSpace", with the number of components that family implies.
// Free functions over the Cos wrappers; no state.
#pragma once

#include <cstdint>

#include "qmhost/CosTable.h"
#include "qmhost/QMBase.h"

class CCosDict;
class CCosObj;
class CCosStream;

// Colour-space families. kFamilyUnknown (22) is "not recognised"; no 21.
enum : int32_t {
    kFamilyDeviceGray = 0,  // or ICCBased with Alternate DeviceGray
    kFamilyDeviceRGB = 1,   // or ICCBased with Alternate DeviceRGB
    kFamilyDeviceCMYK = 2,  // or ICCBased with Alternate DeviceCMYK
    kFamilyIndexedRGB = 3,
    kFamilyIndexedLab = 4,
    kFamilyIndexedCMYK = 5,
    kFamilyCalGray = 6,
    kFamilyCalRGB = 7,
    kFamilyIndexedCalRGB = 8,
    kFamilyLab = 9,
    kFamilyICC1 = 10,     // ICCBased, no Alternate, N 1
    kFamilyICC3 = 11,     // N 3, profile not Lab
    kFamilyICC3Lab = 12,  // N 3, Lab profile
    kFamilyICC4 = 13,     // N 4
    kFamilyIndexedICC3 = 14,
    kFamilyIndexedICC3Lab = 15,
    kFamilyIndexedICC4 = 16,
    kFamilyDeviceN = 17,
    kFamilyIndexedDeviceN = 18,
    kFamilySeparation = 19,
    kFamilyPattern = 20,
    kFamilyUnknown = 22,
};

// The decode parameters to store with an image whose dictionary is dict (a
// freshly built one: "Filter" CCITTFaxDecode is rewritten to LZWDecode in
// place). One filter: MakeFilterDecodeParms of it; an array of filters: a new
// direct array of the same length with each filter's parameters. Any
// in-house error inside (no "Filter" among them) gives the null object.
CosObj MakeImageDecodeParms(CCosDict& dict);

// DCTDecode: a new direct dictionary {Columns = Width, Rows = Height, Colors =
// components of the dictionary's colour-space family}; any other filter: the
// null object. A missing Width, Height or ColorSpace throws kErrNotFound.
CosObj MakeFilterDecodeParms(CCosDict& dict, ASAtom filter);

// The family of the dictionary's "ColorSpace" (kErrNotFound when missing).
int32_t GetImageColorSpaceFamily(CCosDict& dict);

// The family of a colour-space object. Throws kErrColorSpace (8006) for an
// object that is neither a name nor an array, or an array whose first element
// is not a name; a missing "N" of an ICC profile throws kErrNotFound. Names and
// arrays not recognised answer kFamilyUnknown.
int32_t GetColorSpaceFamily(const CCosObj& colorSpace);

// Components per family (0 for DeviceN, Pattern and unknown families).
int32_t ColorSpaceFamilyComponents(int32_t family);

// Whether the profile's header colour space (bytes 16 to 19) reads "Lab ". A
// profile shorter than 20 bytes is not Lab.
bool IsICCProfileLab(CCosStream& profile);

// 1, 3, 4 for DeviceGray, DeviceRGB, DeviceCMYK; other atoms throw 8006.
int32_t DeviceColorSpaceComponents(ASAtom name);
// The number of colourant names of a DeviceN "ColorSpace" (element 1 an
// array); 0 otherwise.
int32_t GetDeviceNComponents(CCosDict& dict);
// DeviceN: GetDeviceNComponents; other families: ColorSpaceFamilyComponents.
int32_t ColorSpaceFamilyComponentsForDict(int32_t family, CCosDict& dict);
// The family of a stream's attributes dictionary.
int32_t GetCosStreamColorSpaceFamily(CCosStream& stream);
int32_t GetXObjectColorSpaceFamily(CosDoc doc, CosObj stream);
