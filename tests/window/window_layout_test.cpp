#include "app/window_layout.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

LayoutInput Input(int cx, int cy) {
    LayoutInput in;
    in.cx = cx;
    in.cy = cy;
    return in;
}

constexpr LayoutRect R(int l, int t, int r, int b) {
    return LayoutRect{l, t, r, b};
}

TEST(WindowLayoutTest, MinimumWindowShrinksRightPaneTo240) {
    const MainLayout l = ComputeMainLayout(Input(1000, 680));
    EXPECT_EQ(l.right_pane_width, 240);
    EXPECT_EQ(l.map_view, R(745, 64, 985, 404));
    EXPECT_EQ(l.file_list, R(745, 412, 985, 662));
    EXPECT_EQ(l.video_frame, R(15, 72, 730, 426));
    EXPECT_EQ(l.position_slider, LayoutRect::FromSize(15, 436, 715, 20));
    EXPECT_EQ(l.gsensor, R(7, 522, 7 + 731, 662));
    EXPECT_EQ(l.map_splitter, R(745, 64, 985, 670));
    EXPECT_EQ(l.pane_splitter, R(730, 64, 745, 670));
    // The group list has no height at all while the G-sensor is shown.
    EXPECT_LE(l.group_list.Height(), 0);
}

TEST(WindowLayoutTest, WideWindowKeepsStoredPaneWidth) {
    const MainLayout l = ComputeMainLayout(Input(1200, 680));
    EXPECT_EQ(l.right_pane_width, 380);
    EXPECT_EQ(l.map_view.left, 805);
    EXPECT_EQ(l.map_view.right, 1185);
    EXPECT_EQ(l.video_frame.left, 15);
    EXPECT_EQ(l.video_frame.right, 790);
}

TEST(WindowLayoutTest, TitleTopAndBottomRowsFollowTheWidth) {
    const MainLayout l = ComputeMainLayout(Input(1200, 680));
    EXPECT_EQ(l.close, LayoutRect::FromSize(1151, 0, 49, 20));
    EXPECT_EQ(l.max_window, LayoutRect::FromSize(1124, 0, 27, 20));
    EXPECT_EQ(l.restore_window, l.max_window);
    EXPECT_EQ(l.minimise, LayoutRect::FromSize(1095, 0, 29, 20));
    EXPECT_EQ(l.open, LayoutRect::FromSize(15, 38, 100, 24));
    EXPECT_EQ(l.conf, LayoutRect::FromSize(115, 38, 80, 24));
    EXPECT_EQ(l.info, LayoutRect::FromSize(195, 38, 160, 24));
    const int v = 680 - 254;
    EXPECT_EQ(l.gsr, LayoutRect::FromSize(23, v + 46, 29, 24));
    EXPECT_EQ(l.snap, LayoutRect::FromSize(63, v + 46, 24, 24));
    EXPECT_EQ(l.full, LayoutRect::FromSize(103, v + 46, 24, 24));
    EXPECT_EQ(l.volume_button, LayoutRect::FromSize(790 - 184, v + 46, 24, 24));
    EXPECT_EQ(l.volume_slider, LayoutRect::FromSize(790 - 160, v + 51, 160, 20));
    EXPECT_EQ(l.status_board, LayoutRect::FromSize(15, v - 30, 775, 30));
    EXPECT_EQ(l.speed_label, LayoutRect::FromSize(68, v + 96, 120, 40));
    EXPECT_EQ(l.note, LayoutRect::FromSize(188, v + 116, 340, 12));
}

TEST(WindowLayoutTest, HidingGSensorLowersVideoBottom) {
    LayoutInput in = Input(1000, 680);
    in.gsensor_shown = false;
    const MainLayout l = ComputeMainLayout(in);
    EXPECT_EQ(l.video_frame.bottom, 680 - 98);
    EXPECT_EQ(l.position_slider.top, 680 - 98 + 10);
    EXPECT_EQ(l.group_list.top, 680 - 98 + 104);
    EXPECT_EQ(l.gsensor, LayoutRect{});
}

TEST(WindowLayoutTest, HiddenMapGivesFileListTheWholeColumn) {
    LayoutInput in = Input(1200, 800);
    in.map_shown = false;
    const MainLayout l = ComputeMainLayout(in);
    EXPECT_EQ(l.map_view, R(805, 0, 1185, 0));
    EXPECT_EQ(l.file_list, R(805, 64, 1185, 790));
}

TEST(WindowLayoutTest, StoredSizesAreClamped) {
    LayoutInput in = Input(1200, 300);
    in.right_pane_width = 5;
    in.map_height = 5000;
    MainLayout l = ComputeMainLayout(in);
    EXPECT_EQ(l.right_pane_width, 20);
    EXPECT_EQ(l.map_view.Height(), 300 - 99);
    in.map_height = 3;
    l = ComputeMainLayout(in);
    EXPECT_EQ(l.map_view.Height(), 20);
    // A narrow window gives the left pane its 760 pixels first.
    in = Input(800, 560);
    l = ComputeMainLayout(in);
    EXPECT_EQ(l.right_pane_width, 40);
    EXPECT_EQ(l.video_frame.right, 800 - 15 - 40 - 15);
}

TEST(WindowLayoutTest, TransportRowStaysCentredBetweenFullAndVolume) {
    for (int cx : {1000, 1001, 1200, 1573, 1920, 2560}) {
        const MainLayout l = ComputeMainLayout(Input(cx, 680));
        const int e = l.left_pane_right;
        const int left_gap = l.prev.left - 127;
        const int right_gap = (e - 184) - l.next.right;
        // The row is 204 pixels wide but centred as 205: gaps differ by up to 2.
        EXPECT_LE(std::abs(left_gap - right_gap), 2) << cx;
        const LayoutRect row[] = {l.prev, l.slow, l.play, l.fast, l.next};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(row[i].left, l.prev.left + 41 * i);
            EXPECT_EQ(row[i].Width(), 40);
            EXPECT_EQ(row[i].top, l.video_frame.bottom + 36);
        }
    }
}

TEST(WindowLayoutTest, FullScreenPlacesOnlyTheVideoFrame) {
    LayoutInput in = Input(1920, 1080);
    in.full_screen = true;
    in.monitor = R(-100, -50, 1820, 1030);
    const MainLayout l = ComputeMainLayout(in);
    EXPECT_TRUE(l.full_screen);
    EXPECT_EQ(l.video_frame, in.monitor);
    EXPECT_EQ(l.play, LayoutRect{});
}

TEST(FitVideoTest, KeepsAspectRatioCentred) {
    const LayoutRect frame = R(15, 72, 730, 426);  // 715 x 354
    // Shrunk by the 2-pixel edge: 711 x 350 at (17, 74).
    EXPECT_EQ(FitVideoRect(frame, 2, false, 0, 0), R(17, 74, 728, 424));
    // 16:9 is wider than the frame's height allows: width follows the height.
    const LayoutRect wide = FitVideoRect(frame, 2, false, 1920, 1080);
    EXPECT_EQ(wide.Height(), 350);
    EXPECT_EQ(wide.Width(), 350 * 1920 / 1080);
    EXPECT_EQ(wide.left, 17 + (711 - 622) / 2);
    // 4:1 is wider than the frame: height follows the width, centred.
    const LayoutRect band = FitVideoRect(frame, 2, false, 400, 100);
    EXPECT_EQ(band.Width(), 711);
    EXPECT_EQ(band.Height(), 711 * 100 / 400);
    EXPECT_EQ(band.top, 74 + (350 - 177) / 2);
    // Full screen keeps the edges.
    EXPECT_EQ(FitVideoRect(R(0, 0, 1920, 1080), 2, true, 1920, 1080), R(0, 0, 1920, 1080));
}

TEST(FitVideoTest, LargePicturesDoNotOverflow) {
    const LayoutRect r = FitVideoRect(R(0, 0, 30000, 20000), 0, true, 100000, 100000);
    EXPECT_EQ(r.Width(), 20000);
    EXPECT_EQ(r.Height(), 20000);
}

TEST(WindowSizeTest, SmallIsCentredOnTheMonitor) {
    EXPECT_EQ(SmallWindowRect(R(0, 0, 1920, 1080)), LayoutRect::FromSize(560, 260, 800, 560));
    EXPECT_EQ(SmallWindowRect(R(1920, 0, 3200, 1024)), LayoutRect::FromSize(2160, 232, 800, 560));
}

TEST(WindowSizeTest, MediumIsFourFifthsWithFloor) {
    EXPECT_EQ(MediumWindowRect(R(0, 0, 1920, 1080)), LayoutRect::FromSize(240, 135, 1536, 864));
    EXPECT_EQ(MediumWindowRect(R(0, 0, 800, 600)), LayoutRect::FromSize(100, 75, 800, 560));
}

TEST(WindowSizeTest, FullScreenIsOnePixelShortWhenClientAlreadyMatches) {
    const LayoutRect monitor = R(0, 0, 1920, 1080);
    EXPECT_EQ(FullScreenWindowRect(monitor, 1000, 680), monitor);
    EXPECT_EQ(FullScreenWindowRect(monitor, 1920, 700), R(0, 0, 1920, 1079));
    EXPECT_EQ(FullScreenWindowRect(monitor, 900, 1080), R(0, 0, 1920, 1079));
}

TEST(LabelMarginsTest, DependOnLanguage) {
    EXPECT_EQ(OpenInfoLabelMargins(false).left, 20);
    EXPECT_EQ(OpenInfoLabelMargins(true).left, 10);
    EXPECT_EQ(ConfLabelMargins(false).left, 4);
    EXPECT_EQ(ConfLabelMargins(true).right, 16);
    EXPECT_EQ(ConfLabelMargins(true).bottom, 26);
}

}  // namespace
}  // namespace orvo

namespace orvo {
namespace {

bool Overlap(const LayoutRect& a, const LayoutRect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

TEST(FrameTimeLayoutTest, FillsTheGapAfterNextWithoutTouchingAnyControl) {
    for (int cx : {1000, 1200, 1920}) {
        for (bool gsensor : {true, false}) {
            LayoutInput in = Input(cx, 680);
            in.gsensor_shown = gsensor;
            const MainLayout l = ComputeMainLayout(in);
            const LayoutRect& t = l.frame_time;
            EXPECT_EQ(t.left, l.next.right + 6) << cx;
            EXPECT_EQ(t.right, l.volume_button.left - 6) << cx;
            EXPECT_EQ(t.top, l.next.top);
            EXPECT_EQ(t.bottom, l.next.bottom);
            EXPECT_GE(t.Width(), 90) << "room for the date and time at " << cx;
            for (const LayoutRect* other :
                 {&l.gsr, &l.snap, &l.full, &l.volume_button, &l.volume_slider, &l.prev, &l.slow,
                  &l.play, &l.fast, &l.next, &l.position_slider, &l.file_list, &l.map_view}) {
                EXPECT_FALSE(Overlap(t, *other)) << cx;
            }
            if (gsensor) {
                EXPECT_FALSE(Overlap(t, l.gsensor)) << cx;
            }
        }
    }
}

}  // namespace
}  // namespace orvo
