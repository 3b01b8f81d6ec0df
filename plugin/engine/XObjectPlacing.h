// What the image and PDF-page elements share when they place an XObject on a
// page: the page's effective resource dictionary, its resource categories, the
// opacity graphics state and the order of the two content pieces. All of them
// raise HostError (they are called inside a host frame).
#pragma once

#include <cstdint>
#include <string>

#include "qmhost/QMBase.h"

class CPDFElement;

namespace engine {

// The page's resources: its own "Resources", else the nearest one inherited
// through "Parent" (new entries then go there, as the host's resource
// operations put them), else a new indirect dictionary put on the page.
CosObj EffectiveResources(CosDoc cosDoc, CosObj pageDict);

// The resources' sub-dictionary of that category ("XObject", "ExtGState"); a
// direct one is made and put into resources when there is none.
CosObj ResourceCategory(CosDoc cosDoc, CosObj resources, ASAtom category);

// A new indirect graphics-state dictionary: /Type /ExtGState, /TR2 /Default,
// /ca the fill opacity and /CA the stroke opacity (0..1, as fixed numbers).
CosObj MakeOpacityState(CosDoc cosDoc, double fillOpacity, double strokeOpacity);

// Puts the drawing and the border into the page's content at position so that
// the border is drawn over the drawing: at the end the drawing first, at the
// front the border first (each goes to index 0). Empty pieces are skipped; the
// first failed insertion stops the rest and answers false.
bool InsertDrawingAndBorder(CPDFElement& element, CosDoc cosDoc, CosObj pageDict,
                            const std::string& drawing, const std::string& border,
                            int32_t position);

// True when obj is a live object of that Cos type in cosDoc: an object of a
// closed document, or of another document, is not. Never raises.
bool IsLiveIn(CosObj obj, CosDoc cosDoc, int32_t type);

// Appends the six numbers of matrix (16.16) each as AppendPdfFixed writes
// them and then "cm "; nothing for the identity.
void AppendConcatOperator(std::string& out, const ASFixedMatrix& matrix);

}  // namespace engine
