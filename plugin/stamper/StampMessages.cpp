#include "stamper/StampMessages.h"

#include "support/ResourceStrings.h"

std::string StampMessageText(uint32_t inId, const char* inArgument) {
    char format[kResStringCapacity];
    if (!inArgument) return LoadResString(inId, format);
    // The table's own text is the format; the argument is only ever data.
    return LoadResStringF(inId, format, inArgument);
}

std::string ResourceNamesTakenMessage(const std::string& inStampName, int32_t inPageIndex,
                                      const std::string& inPrefix, int32_t inLimit) {
    return "stamp \"" + inStampName + "\" cannot be added to page " + std::to_string(int64_t{inPageIndex} + 1) +
           ": its resources already use every name from " + inPrefix + "0 to " + inPrefix +
           std::to_string(inLimit - 1) + ", the " + std::to_string(inLimit) + " names a stamp may choose from";
}
