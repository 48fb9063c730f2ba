#pragma once

#include "reckoning/LoaReckoning.h"

#include <ostream>

// Lets GoogleTest show a ReckonedDate in failure messages.
inline void PrintTo(const ReckonedDate& d, std::ostream* os) {
    *os << "{yen " << d.yen << ", loa " << d.loa << ", period " << d.period << ", day " << d.dayOfPeriod
        << "}";
}
