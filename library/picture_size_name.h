#pragma once

#include <string>

namespace orvo {

// Name of a picture size for the group list ("FHD", "HD", ...), "%dx%d" for
// sizes without a name, empty when either side is 0. Note the argument
// order: height first.
std::string PictureSizeName(int height, int width);

}  // namespace orvo
