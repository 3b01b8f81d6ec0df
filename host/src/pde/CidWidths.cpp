#include "pde/CidWidths.h"

#include <iterator>

namespace qmhost {

QPDFObjectHandle cidWidthArray(const std::map<unsigned, int>& widths) {
    QPDFObjectHandle array = QPDFObjectHandle::newArray();
    QPDFObjectHandle pending;  // the open "first [widths...]" list, if any
    unsigned pendingNext = 0;  // the CID that would extend it
    for (auto it = widths.begin(); it != widths.end();) {
        // The run of consecutive CIDs of this width.
        auto end = std::next(it);
        unsigned last = it->first;
        while (end != widths.end() && end->first == last + 1 && end->second == it->second) last = end->first, ++end;
        const unsigned length = last - it->first + 1;
        if (length >= 4) {
            pending = QPDFObjectHandle();
            array.appendItem(QPDFObjectHandle::newInteger(it->first));
            array.appendItem(QPDFObjectHandle::newInteger(last));
            array.appendItem(QPDFObjectHandle::newInteger(it->second));
        } else {
            if (!pending.isInitialized() || pendingNext != it->first) {
                array.appendItem(QPDFObjectHandle::newInteger(it->first));
                array.appendItem(QPDFObjectHandle::newArray());
                pending = array.getArrayItem(array.getArrayNItems() - 1);
            }
            for (unsigned k = 0; k < length; ++k) pending.appendItem(QPDFObjectHandle::newInteger(it->second));
            pendingNext = last + 1;
        }
        it = end;
    }
    return array;
}

}  // namespace qmhost
