// The one conversion between numbers and the host's 16.16 fixed-point values.
// Every place in the plug-in that turns a number into a fixed value, or a fixed
// value into an integer, goes through these helpers so that all of them round
// alike: half away from zero, clamped to the 32-bit range.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

// v in units -> 16.16, rounded half away from zero; values beyond the range
// clamp to INT32_MIN / INT32_MAX (about +-32768.0); NaN gives 0.
ASFixed FixedFromDouble(double v);

// 16.16 -> the nearest integer, half away from zero (2.5 -> 3, -2.5 -> -3).
int32_t FixedToInt(ASFixed f);

// 16.16 -> units, exact.
double FixedToDouble(ASFixed f);

// Integer -> 16.16; integers beyond +-32767 clamp to the fixed range.
ASFixed FixedFromInt(int32_t i);
