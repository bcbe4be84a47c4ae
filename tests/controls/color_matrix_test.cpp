#include "controls/color_matrix.h"

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

}  // namespace
}  // namespace orvo
