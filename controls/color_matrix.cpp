#include "controls/color_matrix.h"

#include <algorithm>
#include <cmath>

namespace orvo {

const ColorMatrix kHotColorMatrix = {{
    {1.05f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 1.05f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 1.05f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.05f, 0.15f, 0.35f, 0.0f, 1.0f},
}};

const ColorMatrix kGreyColorMatrix = {{
    {0.3f, 0.3f, 0.3f, 0.0f, 0.0f},
    {0.59f, 0.59f, 0.59f, 0.0f, 0.0f},
    {0.11f, 0.11f, 0.11f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
}};

namespace {

uint32_t ToByte(float fraction) {
    const float clamped = std::clamp(fraction, 0.0f, 1.0f);
    return static_cast<uint32_t>(std::lround(clamped * 255.0f));
}

}  // namespace

uint32_t ApplyColorMatrix(const ColorMatrix& matrix, uint32_t argb) {
    const float in[5] = {
        static_cast<float>((argb >> 16) & 0xFF) / 255.0f,
        static_cast<float>((argb >> 8) & 0xFF) / 255.0f,
        static_cast<float>(argb & 0xFF) / 255.0f,
        static_cast<float>((argb >> 24) & 0xFF) / 255.0f,
        1.0f,
    };
    float out[4] = {0, 0, 0, 0};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 5; ++row) out[column] += in[row] * matrix.m[row][column];
    }
    return (ToByte(out[3]) << 24) | (ToByte(out[0]) << 16) | (ToByte(out[1]) << 8) | ToByte(out[2]);
}

void ApplyColorMatrix(const ColorMatrix& matrix, uint32_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i) pixels[i] = ApplyColorMatrix(matrix, pixels[i]);
}

}  // namespace orvo
