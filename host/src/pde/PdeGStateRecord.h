// The graphic-state record handed to plug-ins, to and from the model's state.
#pragma once

#include "pde/PdeModel.h"
#include "qmhost/PDETypes.h"

namespace qmhost {

// The record of a state (colours, line style, dash, intent, last /gs); it
// remembers the exact state for a while, so that the same record set again
// restores it whole.
PDEGraphicState graphicStateRecord(const PdeGState& state);
// The state a record describes. The text state (Tf, Tc, ...) is taken from
// current, which the record does not describe.
PdeGState graphicStateFromRecord(const PDEGraphicState& record, const PdeGState& current);

}  // namespace qmhost
