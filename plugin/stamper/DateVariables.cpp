#include "stamper/DateVariables.h"

#include <clocale>
#include <cstring>
#include <locale.h>

namespace {

StampClock& Clock() {
    static StampClock clock;
    return clock;
}

std::tm SystemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) std::memset(&local, 0, sizeof local);
    return local;
}

// The "C" locale, made once and kept for the life of the process.
locale_t CLocale() {
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

}  // namespace

void SetStampClock(StampClock clock) { Clock() = std::move(clock); }

std::tm GetStampClockTime() { return Clock() ? Clock()() : SystemLocalTime(); }

std::string FormatStampTime(const std::tm& time, char conversion) {
    if (!conversion || !std::strchr("xXdmyHMS", conversion)) return {};
    const char format[3] = {'%', conversion, '\0'};
    char buffer[64];
    const locale_t locale = CLocale();
    const size_t length = locale ? strftime_l(buffer, sizeof buffer, format, &time, locale)
                                 : std::strftime(buffer, sizeof buffer, format, &time);
    return std::string(buffer, length);
}
