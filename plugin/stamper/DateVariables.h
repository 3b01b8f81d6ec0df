// The date and time variables of a stamp text, and the clock they read.
//
// Formats are those of strftime in the "C" locale, whatever the process's
// locale is (a desktop host sets the locale from the environment; a stamp must
// look the same from every host): "%x" gives "MM/DD/YY", "%X" "HH:MM:SS", and
// "%d", "%m", "%y", "%H", "%M", "%S" two digits each. No month or day names.
#pragma once

#include <ctime>
#include <functional>
#include <string>

// The current local time, broken down. The system's clock unless a test (or a
// host that wants one fixed time for a run) installs another; an empty function
// puts the system's clock back.
using StampClock = std::function<std::tm()>;
void SetStampClock(StampClock clock);
std::tm GetStampClockTime();

// The time formatted by the strftime conversion letter (one of "xXdmyHMS"); the
// empty text for any other letter.
std::string FormatStampTime(const std::tm& time, char conversion);
