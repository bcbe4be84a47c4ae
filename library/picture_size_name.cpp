#include "library/picture_size_name.h"

#include <string>

namespace orvo {

namespace {

struct NamedSize {
    int width;
    int height;
    const char* name;
};

// Looked up by exact size; the first match wins.
constexpr NamedSize kNamedSizes[] = {
    {2048, 1600, "QXGA"}, {2048, 1536, "QXGA"}, {1920, 1080, "FHD"}, {1600, 1200, "UXGA"},
    {1280, 1024, "SXGA"}, {1280, 720, "HD"},    {1152, 870, "MAC"},  {1024, 768, "XGA"},
    {800, 600, "SVGA"},   {720, 480, "480P"},   {640, 480, "VGA"},   {320, 240, "CIF"},
};

}  // namespace

std::string PictureSizeName(int height, int width) {
    for (const NamedSize& size : kNamedSizes) {
        if (size.width == width && size.height == height) return size.name;
    }
    if (width == 0 || height == 0) return {};
    return std::to_string(width) + "x" + std::to_string(height);
}

}  // namespace orvo
