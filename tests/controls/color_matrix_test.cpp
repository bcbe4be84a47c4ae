#include "controls/color_matrix.h"

#include <vector>

#include <gtest/gtest.h>

namespace orvo {
namespace {

struct MatrixCase {
    const char* name;
    const ColorMatrix* matrix;
    uint32_t in;
    uint32_t out;
};

class ColorMatrixTest : public ::testing::TestWithParam<MatrixCase> {};

TEST_P(ColorMatrixTest, MapsKnownPixel) {
    const MatrixCase& c = GetParam();
    EXPECT_EQ(ApplyColorMatrix(*c.matrix, c.in), c.out)
        << std::hex << "got 0x" << ApplyColorMatrix(*c.matrix, c.in) << " want 0x" << c.out;
}

// Hot: channel * 1.05 + (0.05, 0.15, 0.35) * 255, clamped, rounded.
// Grey: 0.3 R + 0.59 G + 0.11 B into every channel, alpha kept.
INSTANTIATE_TEST_SUITE_P(
    Pixels, ColorMatrixTest,
    ::testing::Values(
        MatrixCase{"HotBlackIsLiftedBlueMost", &kHotColorMatrix, 0xFF000000, 0xFF0D2659},
        MatrixCase{"HotWhiteSaturates", &kHotColorMatrix, 0xFFFFFFFF, 0xFFFFFFFF},
        MatrixCase{"HotMidGrey", &kHotColorMatrix, 0xFF808080, 0xFF93ADE0},
        MatrixCase{"HotKeepsAlpha", &kHotColorMatrix, 0x40000000, 0x400D2659},
        MatrixCase{"HotTransparentStaysTransparent", &kHotColorMatrix, 0x00102030, 0x001E488C},
        MatrixCase{"GreyRed", &kGreyColorMatrix, 0xFFC80000, 0xFF3C3C3C},
        MatrixCase{"GreyGreen", &kGreyColorMatrix, 0xFF00FF00, 0xFF969696},
        MatrixCase{"GreyBlue", &kGreyColorMatrix, 0xFF0000FF, 0xFF1C1C1C},
        MatrixCase{"GreyWhiteStaysWhite", &kGreyColorMatrix, 0xFFFFFFFF, 0xFFFFFFFF},
        MatrixCase{"GreyKeepsAlpha", &kGreyColorMatrix, 0x80C86400, 0x80777777}),
    [](const ::testing::TestParamInfo<MatrixCase>& row) { return std::string(row.param.name); });

TEST(ColorMatrixRunTest, AppliesToEveryPixelInPlace) {
    uint32_t pixels[3] = {0xFFC80000, 0xFF00FF00, 0xFF0000FF};
    ApplyColorMatrix(kGreyColorMatrix, pixels, 3);
    EXPECT_EQ(pixels[0], 0xFF3C3C3Cu);
    EXPECT_EQ(pixels[1], 0xFF969696u);
    EXPECT_EQ(pixels[2], 0xFF1C1C1Cu);
}

// A run takes a faster road than single pixels; it must land on the same
// bytes, rounding ties and clamping included, for any matrix.
TEST(ColorMatrixRunTest, MatchesThePixelVersionEverywhere) {
    const ColorMatrix odd = {{
        {0.5f, -0.25f, 1.5f, 0.0f, 0.0f},
        {0.25f, 2.0f, -1.0f, 0.5f, 0.0f},
        {-0.5f, 0.125f, 0.75f, 0.0f, 0.0f},
        {0.0f, 0.3f, 0.0f, 0.9f, 0.0f},
        {0.1f, -0.2f, 0.5f, 0.05f, 1.0f},
    }};
    std::vector<uint32_t> pixels;
    uint32_t state = 12345;
    for (int i = 0; i < 20000; ++i) {
        state = state * 1664525u + 1013904223u;
        pixels.push_back(state);
    }
    for (uint32_t v = 0; v < 256; ++v) pixels.push_back(0xFF000000u | v << 16 | v << 8 | v);
    for (const ColorMatrix* matrix : {&kHotColorMatrix, &kGreyColorMatrix, &odd}) {
        std::vector<uint32_t> run = pixels;
        ApplyColorMatrix(*matrix, run.data(), run.size());
        for (size_t i = 0; i < pixels.size(); ++i)
            ASSERT_EQ(run[i], ApplyColorMatrix(*matrix, pixels[i])) << std::hex << pixels[i];
    }
}

}  // namespace
}  // namespace orvo
