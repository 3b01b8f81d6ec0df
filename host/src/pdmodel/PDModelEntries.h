// The PDModel table entries that edit documents, pages, annotations, actions,
// destinations and file specs, and draw pages. Each is a table member
// of the same name; qmhost/PDModelTable.h states their contracts.
#pragma once

#include "qmhost/PDModelTable.h"

namespace qmhost::pdmodel {

// PageEditing.cpp
PDPage docCreatePage(PDDoc doc, int32_t afterPage, const ASFixedRect* mediaBox);
void docDeletePages(PDDoc doc, int32_t firstPage, int32_t lastPage);
void pageSetBox(PDPage page, const ASFixedRect* box);
int32_t docGetPageNumberOfCosObj(PDDoc doc, CosObj pageDict);
void pageNotifyContentsDidChange(PDPage page);

// Resources.cpp
void pageAddResource(PDPage page, const char* type, const char* name, CosObj value);
void pageRemoveResource(PDPage page, const char* type, const char* name);

// DocInfo.cpp
int32_t docGetInfo(PDDoc doc, const char* key, char* buffer, int32_t capacity);
void docSetInfo(PDDoc doc, const char* key, const char* value);

// Security.cpp
const void* docGetSecurityData(PDDoc doc);
ASAtom docGetSecurityHandlerName(PDDoc doc);
int32_t docPermRequest(PDDoc doc, int32_t object, int32_t operation, void* reserved);
uint32_t docGetPermissions(PDDoc doc);

// Annotations.cpp
PDAnnot pageCreateAnnot(PDPage page, ASAtom subtype, const ASFixedRect* rect);
int32_t pageGetNumAnnots(PDPage page);
PDAnnot pageGetAnnot(PDPage page, int32_t index);
void pageAddAnnot(PDPage page, int32_t addAfter, PDAnnot annot);
int32_t pageGetAnnotIndex(PDPage page, PDAnnot annot);
void pageRemoveAnnot(PDPage page, int32_t index);
bool annotIsValid(PDAnnot annot);
ASAtom annotGetSubtype(PDAnnot annot);
void linkAnnotSetBorder(PDAnnot annot, const PDLinkBorder* border);
void linkAnnotSetAction(PDAnnot annot, PDAction action);

// Actions.cpp
PDAction actionNew(PDDoc doc, ASAtom subtype);
PDAction actionNewFromDest(PDDoc doc, PDViewDestination dest, PDDoc destDoc);
PDAction actionNewFromFileSpec(PDDoc doc, ASAtom subtype, PDFileSpec fileSpec);
bool actionIsValid(PDAction action);
ASAtom actionGetSubtype(PDAction action);
PDViewDestination actionGetDest(PDAction action);
void actionDestroy(PDAction action);

// Destinations.cpp
PDViewDestination destCreate(PDDoc doc, PDPage page, ASAtom fitType, const ASFixedRect* rect,
                             ASFixed zoom, int32_t pageNumber);
PDViewDestination destResolve(PDViewDestination dest, PDDoc doc);
bool destIsValid(PDViewDestination dest);
void destGetAttr(PDViewDestination dest, PDDoc doc, int32_t* pageNumber, ASAtom* fitType,
                 ASFixedRect* rect, ASFixed* zoom);

// FileSpecs.cpp
PDFileSpec fileSpecNewFromPath(PDDoc doc, ASPathName path, ASPathName relativeTo);
bool fileSpecIsValid(PDFileSpec fileSpec);
int32_t fileSpecGetText(PDFileSpec fileSpec, char* buffer, int32_t capacity);

}  // namespace qmhost::pdmodel
