#pragma once

#include <stdlib.h>
#include <time.h>

namespace orvo::test_support {

// Start times are local wall-clock times; tests pin the zone.
inline void UseTimeZone(const char* zone) {
    ::setenv("TZ", zone, 1);
    ::tzset();
}

// For a namespace-scope initialiser, so the zone is set before any test:
//   const bool kZoneSet = PinTimeZone("UTC0");
inline bool PinTimeZone(const char* zone) {
    UseTimeZone(zone);
    return true;
}

}  // namespace orvo::test_support
