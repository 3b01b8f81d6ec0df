// Converts lengths between the units in which a stamp's position is entered
// and points (1/72 inch) of PDF user space. All results are in double precision.
#pragma once

#include <cstdint>

class UUnitConverter {
public:
    // Unit indexes as stored with a stamp.
    enum EUnit : int32_t {
        kInch = 0,
        kCentimetre = 1,
        kMillimetre = 2,
        kPoint = 3,
    };

    // The four functions take a unit and a length in that unit (or in points or
    // inches) and answer the converted length. A unit outside 0..3 is a
    // programming error (an assertion); the value then comes back unchanged.
    static double ToPoints(int32_t inUnit, double inValue);
    static double FromPoints(int32_t inUnit, double inPoints);
    static double ToInches(int32_t inUnit, double inValue);
    static double FromInches(int32_t inUnit, double inInches);

    // A stored index as a unit: 0..3 map to themselves, anything else to kInch.
    static EUnit UnitFromIndex(int32_t inIndex);

    UUnitConverter() = delete;
};
