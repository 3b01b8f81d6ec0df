// What the elements share when they place an XObject on a page: the opacity
// graphics state, the check that a cached object is still alive and the
// placement operator. MakeOpacityState and AppendConcatOperator raise
// HostError (they are called inside a host frame).
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/QMBase.h"

namespace engine {

// The page's own "Resources", else the nearest one inherited through
// "Parent"; a value that is no dictionary is passed over, as the host does.
// CosObj{} (the null object) when there is none; a "Parent" chain longer than
// 64 is taken for a loop in a damaged file and ends the search. outHolder
// (when given) = the node whose "Resources" it is.
CosObj InheritedResources(CosObj pageDict, CosObj* outHolder = nullptr);

// A new indirect graphics-state dictionary: /Type /ExtGState, /TR2 /Default,
// /ca the fill opacity and /CA the stroke opacity (0..1, as fixed numbers).
CosObj MakeOpacityState(CosDoc cosDoc, double fillOpacity, double strokeOpacity);

// True when obj is a live object of that Cos type in cosDoc: an object of a
// closed document, or of another document, is not. Never raises.
bool IsLiveIn(CosObj obj, CosDoc cosDoc, int32_t type);

// Appends the six numbers of matrix (16.16) each as AppendPdfFixed writes
// them and then "cm "; nothing for the identity.
void AppendConcatOperator(std::string& out, const ASFixedMatrix& matrix);

}  // namespace engine
