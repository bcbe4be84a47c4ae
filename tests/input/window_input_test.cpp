#include "app/window_input.h"

#include <gtest/gtest.h>

#include "app/window_layout.h"

namespace orvo {
namespace {

TEST(DragHitTest, GripThenMapSplitterThenPaneSplitter) {
    // A 1000 x 680 client: right pane 745..985, map splitter down to 670.
    const LayoutRect map_splitter{745, 64, 985, 670};
    const LayoutRect pane_splitter{730, 64, 745, 670};
    struct Row {
        int x, y;
        DragTarget want;
    };
    const Row rows[] = {
        {999, 679, DragTarget::kGrip},
        {980, 660, DragTarget::kGrip},  // grip wins where it overlaps the map splitter
        {979, 660, DragTarget::kMapSplitter},
        {800, 408, DragTarget::kMapSplitter},
        {745, 64, DragTarget::kMapSplitter},
        {744, 64, DragTarget::kPaneSplitter},
        {730, 669, DragTarget::kPaneSplitter},
        {730, 670, DragTarget::kNone},  // bottom edge is outside
        {729, 300, DragTarget::kNone},
        {800, 63, DragTarget::kNone},
        {400, 20, DragTarget::kNone},
        {985, 300, DragTarget::kNone},  // right of the pane, above the grip
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HitTestDrag(row.x, row.y, 1000, 680, map_splitter, pane_splitter), row.want)
            << row.x << "," << row.y;
    }
    EXPECT_EQ(HitTestDrag(400, 300, 1000, 680, LayoutRect{}, LayoutRect{}), DragTarget::kNone);
}

TEST(DragHitTest, EachTargetHasItsCursor) {
    EXPECT_EQ(CursorFor(DragTarget::kGrip), CursorShape::kSizeNwse);
    EXPECT_EQ(CursorFor(DragTarget::kMapSplitter), CursorShape::kSizeNs);
    EXPECT_EQ(CursorFor(DragTarget::kPaneSplitter), CursorShape::kSizeWe);
    EXPECT_EQ(CursorFor(DragTarget::kNone), CursorShape::kArrow);
}

TEST(GripResize, NeverBelowTheSmallestWindow) {
    struct Row {
        int x, y, width, height;
    };
    const Row rows[] = {
        {900, 600, 1000, 680},  {1200, 700, 1200, 700}, {-50, -50, 1000, 680},
        {1000, 680, 1000, 680}, {1001, 679, 1001, 680}, {999, 900, 1000, 900},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(GripWindowSize(row.x, row.y), (WindowSize{row.width, row.height}))
            << row.x << "," << row.y;
    }
}

LayoutInput Client(int cx, int cy, int right_pane_width, int map_height) {
    LayoutInput input;
    input.cx = cx;
    input.cy = cy;
    input.right_pane_width = right_pane_width;
    input.map_height = map_height;
    return input;
}

TEST(Splitters, PaneSplitterKeepsTheLeftPaneAtLeast760Wide) {
    struct Row {
        int x, cx, stored, laid_out;
    };
    const Row rows[] = {
        {700, 1200, 440, 440},  // left of 730: cx - 760, not cx - x - 30
        {729, 1200, 440, 440}, {730, 1200, 440, 440},
        {800, 1200, 370, 370}, {1190, 1200, -20, 20},  // the layout raises it to 20
        {900, 1000, 70, 70},   {400, 1000, 240, 240},
    };
    for (const Row& row : rows) {
        const int stored = PaneWidthFromSplitter(row.x, row.cx);
        EXPECT_EQ(stored, row.stored) << row.x;
        EXPECT_EQ(ComputeMainLayout(Client(row.cx, 800, stored, 340)).right_pane_width,
                  row.laid_out)
            << row.x;
    }
}

TEST(Splitters, MapSplitterHeightIsClampedByTheLayout) {
    struct Row {
        int y, stored, map_height;
    };
    const Row rows[] = {
        {50, -14, 20}, {84, 20, 20}, {300, 236, 236}, {760, 696, 696}, {900, 836, 701}};
    for (const Row& row : rows) {
        const int stored = MapHeightFromSplitter(row.y);
        EXPECT_EQ(stored, row.stored);
        const MainLayout layout = ComputeMainLayout(Client(1200, 800, 380, stored));
        EXPECT_EQ(layout.map_view.Height(), row.map_height) << row.y;
    }
}

TEST(CropFit, SlidesInsideTheFrameAndKeepsItsAspect) {
    struct Row {
        CropRect wanted, want;
    };
    const Row rows[] = {
        {{100, 100, 1060, 9999}, {100, 100, 1060, 640}},  // height follows the width
        {{-100, 50, 860, 0}, {0, 50, 960, 590}},          // slides right
        {{1500, 0, 2460, 0}, {960, 0, 1920, 540}},        // slides left
        {{0, -30, 960, 0}, {0, 0, 960, 540}},             // slides down
        {{0, 800, 960, 0}, {0, 540, 960, 1080}},          // slides up
        {{-10, 0, 1930, 0}, {0, 0, 1920, 1080}},          // wider than the frame
        {{0, 0, 1920, 5}, {0, 0, 1920, 1080}},
    };
    for (const Row& row : rows) {
        const CropRect got = FitCropRect(row.wanted, 1920, 1080);
        EXPECT_EQ(got, row.want) << row.wanted.left << "," << row.wanted.top;
    }
    EXPECT_EQ(MarginsOf(CropRect{960, 0, 1920, 540}, 1920, 1080), (CropMargins{960, 0, 0, 540}));
    EXPECT_EQ(MarginsOf(CropRect{0, 0, 1920, 1080}, 1920, 1080), (CropMargins{}));
}

TEST(CropZoom, OneStepInAndOutAroundThePointer) {
    const CropRect whole{0, 0, 1920, 1080};
    // Centre of a 640 x 360 surface: frame point (960, 540).
    const auto in = ZoomCrop(whole, 1920, 1080, 120, 320, 180, 640, 360);
    ASSERT_TRUE(in.has_value());
    EXPECT_EQ(*in, (CropRect{164, 92, 1756, 987}));
    const auto out = ZoomCrop(*in, 1920, 1080, -120, 320, 180, 640, 360);
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(*out, whole);
    // An unset crop stands for the whole frame.
    EXPECT_EQ(ZoomCrop(CropRect{}, 1920, 1080, 120, 320, 180, 640, 360), in);
    // The top-left corner stays put when zooming at it.
    const auto corner = ZoomCrop(whole, 1920, 1080, 120, 0, 0, 640, 360);
    ASSERT_TRUE(corner.has_value());
    EXPECT_EQ(corner->left, 0);
    EXPECT_EQ(corner->top, 0);
}

TEST(CropZoom, ZoomingInStopsAtOneFramePixelPerSurfacePixel) {
    CropRect crop{0, 0, 1920, 1080};
    int steps = 0;
    for (; steps < 100; ++steps) {
        const auto next = ZoomCrop(crop, 1920, 1080, 120, 200, 100, 640, 360);
        if (!next) break;
        EXPECT_LE(next->Width(), crop.Width());
        EXPECT_GE(next->left, 0);
        EXPECT_GE(next->top, 0);
        EXPECT_LE(next->right, 1920);
        EXPECT_LE(next->bottom, 1080);
        crop = *next;
    }
    EXPECT_LT(steps, 100);
    EXPECT_EQ(crop.Width(), 640);
    EXPECT_EQ(crop.Height(), 360);
}

TEST(CropZoom, ZoomingOutEndsAtTheWholeFrame) {
    const CropRect starts[] = {{0, 0, 640, 360}, {1280, 720, 1920, 1080}, {500, 300, 1200, 693}};
    for (const CropRect& start : starts) {
        CropRect crop = start;
        for (int i = 0; i < 30 && !(crop == CropRect{0, 0, 1920, 1080}); ++i) {
            const auto next = ZoomCrop(crop, 1920, 1080, -120, 600, 50, 640, 360);
            ASSERT_TRUE(next.has_value());
            crop = *next;
        }
        EXPECT_EQ(crop, (CropRect{0, 0, 1920, 1080})) << start.left;
        EXPECT_EQ(MarginsOf(crop, 1920, 1080), CropMargins{});
    }
}

TEST(CropZoom, NothingWithoutASizeOrASurface) {
    EXPECT_FALSE(ZoomCrop(CropRect{}, 0, 0, 120, 10, 10, 640, 360).has_value());
    EXPECT_FALSE(ZoomCrop(CropRect{0, 0, 1920, 1080}, 1920, 1080, 120, 10, 10, 0, 0).has_value());
    // A picture smaller than the surface cannot be zoomed in on.
    EXPECT_EQ(ZoomCrop(CropRect{0, 0, 320, 240}, 320, 240, 120, 10, 10, 640, 480),
              (CropRect{0, 0, 320, 240}));
}

TEST(CropPan, PictureFollowsTheMouseAndStopsAtTheEdges) {
    const CropRect start{640, 360, 1280, 720};  // 1:1 in a 640 x 360 surface
    struct Row {
        int x, y;
        CropRect want;
    };
    const Row rows[] = {
        {300, 200, {640, 360, 1280, 720}},     // no move
        {400, 200, {540, 360, 1180, 720}},     // mouse right: view moves left
        {300, 150, {640, 410, 1280, 770}},     // mouse up: view moves down
        {2000, 200, {0, 360, 640, 720}},       // far right: stops at the left edge
        {-2000, 200, {1280, 360, 1920, 720}},  // far left: stops at the right edge
        {300, -2000, {640, 720, 1280, 1080}},  // far up: stops at the bottom
        {300, 2000, {640, 0, 1280, 360}},      // far down: stops at the top
    };
    for (const Row& row : rows) {
        EXPECT_EQ(PanCrop(start, 1920, 1080, 300, 200, row.x, row.y, 640, 360), row.want)
            << row.x << "," << row.y;
    }
    // Half a frame pixel per surface pixel when the crop is twice the surface.
    EXPECT_EQ(PanCrop(CropRect{0, 0, 1280, 720}, 1920, 1080, 0, 0, -100, 0, 640, 360),
              (CropRect{200, 0, 1480, 720}));
}

}  // namespace
}  // namespace orvo
