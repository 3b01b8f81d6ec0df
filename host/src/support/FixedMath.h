// 16.16 fixed-point arithmetic of the host: 64-bit intermediates, results
// rounded to nearest (half away from zero) and clamped to the 32-bit range.
#pragma once

#include <cstdint>

#include "qmhost/QMBase.h"

namespace qmhost {

ASFixed fixedFromDouble(double value);
double fixedToDouble(ASFixed value);
ASFixed fixedMul(ASFixed a, ASFixed b);
ASFixed fixedDiv(ASFixed a, ASFixed b);  // b != 0
// second applied first, then first.
ASFixedMatrix concat(const ASFixedMatrix& first, const ASFixedMatrix& second);
bool invert(const ASFixedMatrix& m, ASFixedMatrix* out);
ASFixedPoint transform(const ASFixedMatrix& m, const ASFixedPoint& p);
ASFixedRect transformRect(const ASFixedMatrix& m, const ASFixedRect& r);

}  // namespace qmhost
