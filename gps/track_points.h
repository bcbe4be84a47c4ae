#pragma once

#include "metadata/telemetry.h"

namespace orvo {

// Inside -90..90 latitude and -180..180 longitude: a position GIS formats
// accept. The map's usability test lets larger values through.
inline bool IsGeographic(const GeoPosition& p) {
    return p.latitude >= -90.0 && p.latitude <= 90.0 && p.longitude >= -180.0 &&
           p.longitude <= 180.0;
}

}  // namespace orvo
