// Text objects for measuring: runs of encoded codes, each in a font and placed
// by a text matrix.
#pragma once

#include <memory>
#include <string>

#include "pde/HostFont.h"
#include "qmhost/QMBase.h"

namespace qmhost {

// A new, empty text object.
PDEText createText();
// Adds a run before run `index` (0..count; count appends). Raises
// kHostErrBadHandle for an unknown text, kHostErrBadIndex for another index.
void addTextRun(PDEText text, int32_t index, std::string codes, std::shared_ptr<const HostFont> font,
                const ASFixedMatrix& matrix);
int32_t textRunCount(PDEText text);
// The box of run `index` in text space after its matrix: the rectangle from
// (0, descent) to (advance, ascent) in text units (thousandths / 1000) mapped by
// the matrix, its enclosing box when the matrix rotates. Raises kHostErrBadIndex
// for a run that does not exist.
ASFixedRect textRunBox(PDEText text, int32_t index);
// Frees the text; null and unknown handles are ignored.
void releaseText(PDEText text);

}  // namespace qmhost
