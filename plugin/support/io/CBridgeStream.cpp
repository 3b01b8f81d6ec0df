#include "support/io/CBridgeStream.h"

#include <cstring>

CBridgeStream::CBridgeStream() = default;

CBridgeStream::CBridgeStream(uint32_t inValue) : mValue(inValue) {}

CBridgeStream::~CBridgeStream() = default;

void CBridgeStream::SetStreamValue(uint32_t inValue) { mValue = inValue; }

int32_t CBridgeStream::ReadLine(char* outBuffer, int32_t inMaximum) {
    if (inMaximum < 1 || !outBuffer) return 0;
    const size_t n = Read(outBuffer, static_cast<size_t>(inMaximum));
    size_t length = n;
    for (size_t i = 0; i < n; ++i) {
        if (outBuffer[i] == '\r' || outBuffer[i] == '\n') {
            // A CR LF pair counts only when both bytes came with this read.
            const bool pair = outBuffer[i] == '\r' && i + 1 < n && outBuffer[i + 1] == '\n';
            length = i + (pair ? 2 : 1);
            break;
        }
    }
    outBuffer[length] = '\0';
    if (n > length) Seek(kSeekFromCurrent, -static_cast<int64_t>(n - length));
    return static_cast<int32_t>(length);
}

size_t CBridgeStream::WriteString(const char* inText) {
    if (!inText) return 0;
    return Write(inText, std::strlen(inText));
}
