#pragma once

#include <cstddef>
#include <cstdint>

namespace orvo {

// A 5x5 colour matrix in the row-vector convention: result = [r g b a 1] * m,
// channels as fractions 0..1. Rows are source R, G, B, A and the constant;
// columns result R, G, B, A (the fifth column is ignored).
struct ColorMatrix {
    float m[5][5];
};

// Hover highlight: every colour channel scaled by 1.05 and lifted, blue most.
extern const ColorMatrix kHotColorMatrix;
// Luminance grey (0.3 R + 0.59 G + 0.11 B into every channel), alpha kept.
extern const ColorMatrix kGreyColorMatrix;

// Applies the matrix to one straight-alpha (not premultiplied) 0xAARRGGBB
// pixel; results are clamped to 0..255 and rounded to nearest.
uint32_t ApplyColorMatrix(const ColorMatrix& matrix, uint32_t argb);

// The same over a run of straight-alpha pixels, in place.
void ApplyColorMatrix(const ColorMatrix& matrix, uint32_t* pixels, size_t count);

}  // namespace orvo
