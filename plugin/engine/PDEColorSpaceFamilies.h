// Colour-space families of page-content images and colour spaces, beside those
// of image dictionaries (ImageColorSpaces.h).
#pragma once

#include <cstdint>

class CPDEColorSpace;
class CPDEImage;

// By the space's name: DeviceGray 0, DeviceRGB 1, DeviceCMYK 2, CalGray 6,
// CalRGB 7, Lab 9, ICCBased 10, DeviceN 17, Separation 19, Pattern 20; Indexed by
// its base: DeviceRGB 3, DeviceCMYK 5, CalRGB 8; anything else 22.
int32_t GetPDEColorSpaceFamily(const CPDEColorSpace& space);
// An image XObject: the family of its stream's dictionary; an inline image: of its colour space.
int32_t GetPDEImageColorSpaceFamily(CPDEImage& image);
int32_t GetPDEImageColorSpaceFamilyByName(CPDEImage& image);
// The components of the image's samples.
int32_t GetPDEImageComponentCount(CPDEImage& image);
int32_t ColorSpaceFamilyComponentsForPDEImage(int32_t family, CPDEImage& image);
int32_t GetPDEDeviceNComponents(CPDEImage& image);
int32_t GetPDEImageColorSpaceComponents(CPDEImage& image);
int32_t GetPDEColorSpaceComponents(const CPDEColorSpace& space);
