#include "ui/StampDesigner.h"

#include <utility>

namespace ui {
namespace {

StampDesigner& Designer() {
    static StampDesigner designer;
    return designer;
}

}  // namespace

void SetStampDesigner(StampDesigner inDesigner) { Designer() = std::move(inDesigner); }

bool OpenStampDesigner(QWidget* inParent, CStamp& inStamp, bool inEditing, StampDesignDone inDone) {
    const StampDesigner& designer = Designer();
    return designer && designer(inParent, inStamp, inEditing, std::move(inDone));
}

}  // namespace ui
