#pragma once

#include <string>

namespace orvo {

// printf("%f") of a double (six decimals) that never depends on the process
// locale: the map script texts and the KML/GPX files need a decimal point,
// and Qt may switch LC_NUMERIC to the user's locale.
std::string FormatFixed6(double value);

// The same with any number of decimals (0..17).
std::string FormatFixed(double value, int decimals);

}  // namespace orvo
