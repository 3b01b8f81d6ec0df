#include "support/UUnitConverter.h"

#include <cassert>

namespace {
// Each factor is one quotient, computed at compile time so that no order of
// static initialisation can observe it unset; the products below use them
// left to right, as stored stamp positions were computed.
constexpr double kInchesPerPoint = 1.0 / 72.0;
constexpr double kInchesPerCentimetre = 1.0 / 2.54;
constexpr double kMillimetresPerCentimetre = 1.0 / 0.1;
constexpr double kInchesPerPoint2 = 1.0 / 72.0;

double BadUnit(double inValue) {
    assert(!"unit index outside 0..3");
    return inValue;
}
}  // namespace

double UUnitConverter::ToPoints(int32_t inUnit, double inValue) {
    switch (inUnit) {
        case kInch: return inValue * 72.0;
        case kCentimetre: return inValue * kInchesPerCentimetre * 72.0;
        case kMillimetre: return inValue * 0.1 * kInchesPerCentimetre * 72.0;
        case kPoint: return inValue;
        default: return BadUnit(inValue);
    }
}

double UUnitConverter::FromPoints(int32_t inUnit, double inPoints) {
    switch (inUnit) {
        case kInch: return inPoints * kInchesPerPoint;
        case kCentimetre: return inPoints * kInchesPerPoint * 2.54;
        case kMillimetre: return inPoints * kInchesPerPoint * 2.54 * kMillimetresPerCentimetre;
        case kPoint: return inPoints;
        default: return BadUnit(inPoints);
    }
}

double UUnitConverter::ToInches(int32_t inUnit, double inValue) {
    switch (inUnit) {
        case kInch: return inValue;
        case kCentimetre: return inValue * kInchesPerCentimetre;
        case kMillimetre: return inValue * kInchesPerCentimetre * 0.1;
        case kPoint: return inValue * kInchesPerPoint2;
        default: return BadUnit(inValue);
    }
}

double UUnitConverter::FromInches(int32_t inUnit, double inInches) {
    switch (inUnit) {
        case kInch: return inInches;
        case kCentimetre: return inInches * 2.54;
        case kMillimetre: return inInches * kMillimetresPerCentimetre * 2.54;
        case kPoint: return inInches * 72.0;
        default: return BadUnit(inInches);
    }
}

UUnitConverter::EUnit UUnitConverter::UnitFromIndex(int32_t inIndex) {
    switch (inIndex) {
        case kCentimetre: return kCentimetre;
        case kMillimetre: return kMillimetre;
        case kPoint: return kPoint;
        default: return kInch;
    }
}
