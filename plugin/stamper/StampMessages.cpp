#include "stamper/StampMessages.h"

#include "support/ResourceStrings.h"

std::string StampMessageText(uint32_t inId, const char* inArgument) {
    char format[kResStringCapacity];
    if (!inArgument) return LoadResString(inId, format);
    // The table's own text is the format; the argument is only ever data.
    return LoadResStringF(inId, format, inArgument);
}
