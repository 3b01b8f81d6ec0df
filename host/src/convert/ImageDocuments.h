// Image files opened as one-page documents, and the list of the kinds of image
// file the host converts (PDModel docOpenImage, getImageConversionCount,
// getImageConversionDescription; qmhost/PDModelTable.h states the contracts).
#pragma once

#include <memory>
#include <string>

#include <qpdf/QPDF.hh>

#include "convert/ImagePixels.h"
#include "qmhost/PDModelTable.h"

namespace qmhost {

// A new untitled PDF of one page of image.width x image.height points that
// shows the image at one pixel per point: a JPEG as its DCT data, other images
// Flate-compressed, transparency as a soft mask.
std::unique_ptr<QPDF> makeImageDocument(const ImagePixels& image);

// The image file at path read by the reader of its kind (by content, not by
// name). Raises kHostErrFileNotFound, kHostErrFileOpen, kHostErrFileRead and
// kHostErrBadImage, naming path.
ImagePixels readImageFile(const std::string& path);

namespace pdmodel {

PDDoc docOpenImage(ASPathName path);
int32_t getImageConversionCount();
const char* getImageConversionDescription(int32_t index, const char** extensions);

}  // namespace pdmodel
}  // namespace qmhost
