// The entries of the "Cos" table, shared between the files that implement them
// (see qmhost/CosTable.h for each contract).
#pragma once

#include "qmhost/CosTable.h"

namespace qmhost::cos {

// Objects and containers (CosContainerEntries.cpp).
CosObj newDict(CosDoc doc, bool indirect, int32_t entryCountHint);
CosObj dictGet(CosObj dict, ASAtom key);
bool dictKnown(CosObj dict, ASAtom key);
void dictPut(CosObj dict, ASAtom key, CosObj value);
void dictRemove(CosObj dict, ASAtom key);
CosObj newArray(CosDoc doc, bool indirect, int32_t sizeHint);
int32_t arrayLength(CosObj array);
CosObj arrayGet(CosObj array, int32_t index);
void arrayPut(CosObj array, int32_t index, CosObj value);
void arrayInsert(CosObj array, int32_t index, CosObj value);
void arrayRemove(CosObj array, CosObj value);
void arrayRemoveAt(CosObj array, int32_t index);
bool objEnum(CosObj obj, CosObjEnumProc proc, void* clientData);

// Streams (CosStreamEntries.cpp).
CosObj newStream(CosDoc doc, bool indirect, ASStm source, int64_t offset, int16_t encodeSource,
                 CosObj attributes, CosObj encodeParms, int64_t length);
CosObj streamDict(CosObj stream);
ASStm streamOpen(CosObj stream, int16_t mode);
int64_t streamLength(CosObj stream);

// Copies between documents (CosCopy.cpp).
CosObj objCopy(CosObj obj, CosDoc destination);

}  // namespace qmhost::cos
