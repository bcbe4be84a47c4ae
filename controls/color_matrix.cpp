#include "controls/color_matrix.h"

#include <algorithm>
#include <array>
#include <memory>

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
    // Round half away from zero, as lround does, without its call: a float
    // plus one half is exact in double, so truncating it rounds exactly.
    return static_cast<uint32_t>(static_cast<double>(clamped * 255.0f) + 0.5);
}

float Fraction(uint32_t byte) {
    return static_cast<float>(byte) / 255.0f;
}

uint32_t Shift(int row) {
    static constexpr uint32_t kShifts[4] = {16, 8, 0, 24};  // R, G, B, A
    return kShifts[row];
}

// Every product of a channel byte and a matrix entry, computed as the pixel
// version computes it, so a run sums the very same floats in the same order.
struct ProductTable {
    explicit ProductTable(const ColorMatrix& matrix) {
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column)
                for (uint32_t byte = 0; byte < 256; ++byte)
                    product[row][column][byte] = Fraction(byte) * matrix.m[row][column];
    }
    std::array<std::array<std::array<float, 256>, 4>, 4> product;
};

}  // namespace

uint32_t ApplyColorMatrix(const ColorMatrix& matrix, uint32_t argb) {
    const float in[5] = {Fraction((argb >> 16) & 0xFF), Fraction((argb >> 8) & 0xFF),
                         Fraction(argb & 0xFF), Fraction((argb >> 24) & 0xFF), 1.0f};
    float out[4] = {0, 0, 0, 0};
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 5; ++row) out[column] += in[row] * matrix.m[row][column];
    }
    return (ToByte(out[3]) << 24) | (ToByte(out[0]) << 16) | (ToByte(out[1]) << 8) | ToByte(out[2]);
}

void ApplyColorMatrix(const ColorMatrix& matrix, uint32_t* pixels, size_t count) {
    if (count == 0) return;
    const auto table = std::make_unique<ProductTable>(matrix);
    for (size_t i = 0; i < count; ++i) {
        const uint32_t argb = pixels[i];
        float out[4];
        for (int column = 0; column < 4; ++column) {
            float sum = 0.0f;
            for (int row = 0; row < 4; ++row)
                sum += table->product[row][column][(argb >> Shift(row)) & 0xFF];
            out[column] = sum + matrix.m[4][column];
        }
        pixels[i] = (ToByte(out[3]) << 24) | (ToByte(out[0]) << 16) | (ToByte(out[1]) << 8) |
                    ToByte(out[2]);
    }
}

}  // namespace orvo
