#include "app/window_layout.h"

#include <algorithm>

namespace orvo {

namespace {

constexpr int kMinLeftPane = 760;  // the right pane gives way below this
constexpr int kMargin = 15;
constexpr int kTopOfPanes = 64;
constexpr int kVideoTop = 72;

}  // namespace

MainLayout ComputeMainLayout(const LayoutInput& in) {
    MainLayout out;
    const int cx = in.cx;
    const int cy = in.cy;
    if (in.full_screen) {
        out.full_screen = true;
        out.video_frame = in.monitor;
        return out;
    }

    out.close = LayoutRect::FromSize(cx - 49, 0, 49, 20);
    out.max_window = LayoutRect::FromSize(cx - 76, 0, 27, 20);
    out.restore_window = out.max_window;
    out.minimise = LayoutRect::FromSize(cx - 105, 0, 29, 20);

    int w = in.right_pane_width;
    if (w > cx - 20) {
        w = cx - 20;
    } else if (w < 20) {
        w = 20;
    }
    if (cx - w < kMinLeftPane) w = cx - kMinLeftPane;
    const int right = cx - kMargin;
    const int left = right - w;
    out.right_pane_width = w;
    out.right_pane_left = left;
    out.right_pane_right = right;

    if (in.map_shown) {
        int h = in.map_height;
        if (h > cy - 99) {
            h = cy - 99;
        } else if (h < 20) {
            h = 20;
        }
        out.map_view = LayoutRect{left, kTopOfPanes, right, kTopOfPanes + h};
        out.file_list = LayoutRect{left, 72 + h, right, cy - 18};
        out.map_splitter = LayoutRect{left, kTopOfPanes, right, cy - 10};
    } else {
        out.map_view = LayoutRect::FromSize(left, 0, right - left, 0);
        out.file_list = LayoutRect{left, kTopOfPanes, right, cy - 10};
    }
    out.pane_splitter = LayoutRect{left - kMargin, kTopOfPanes, left, cy - 10};

    const int e = left - kMargin;
    out.left_pane_right = e;
    const int v = in.gsensor_shown ? cy - 254 : cy - 98;
    out.video_frame = LayoutRect{kMargin, kVideoTop, e, v};

    out.position_slider = LayoutRect::FromSize(kMargin, v + 10, left - 30, 20);
    if (in.gsensor_shown) out.gsensor = LayoutRect::FromSize(7, v + 96, left - 14, 140);
    const int group_top = in.gsensor_shown ? cy - 10 : v + 104;
    out.group_list = LayoutRect{kMargin, group_top, e, cy - 10};
    out.status_board = LayoutRect::FromSize(kMargin, v - 30, e - kMargin, 30);
    out.speed_label = LayoutRect::FromSize(68, v + 96, 120, 40);
    out.note = LayoutRect::FromSize(188, v + 116, 340, 12);

    const int bottom_row = v + 46;
    out.gsr = LayoutRect::FromSize(23, bottom_row, 29, 24);
    out.snap = LayoutRect::FromSize(63, bottom_row, 24, 24);
    out.full = LayoutRect::FromSize(103, bottom_row, 24, 24);
    out.volume_button = LayoutRect::FromSize(e - 184, bottom_row, 24, 24);
    out.volume_slider = LayoutRect::FromSize(e - 160, v + 51, 160, 20);

    // Five 40-pixel buttons 41 apart, centred between FULL and the volume
    // button.
    const int first = 127 + ((e - 184) - 127 - 205) / 2;
    const int transport = v + 36;
    LayoutRect* row[] = {&out.prev, &out.slow, &out.play, &out.fast, &out.next};
    for (int i = 0; i < 5; ++i) *row[i] = LayoutRect::FromSize(first + 41 * i, transport, 40, 40);
    constexpr int kFrameTimeGap = 6;
    out.frame_time =
        LayoutRect{out.next.right + kFrameTimeGap, transport,
                   std::max(out.next.right + kFrameTimeGap, out.volume_button.left - kFrameTimeGap),
                   transport + 40};

    out.open = LayoutRect::FromSize(kMargin, 38, 100, 24);
    out.conf = LayoutRect::FromSize(115, 38, 80, 24);
    out.info = LayoutRect::FromSize(195, 38, 160, 24);
    return out;
}

LayoutRect FitVideoRect(const LayoutRect& frame, int edge, bool full_screen, int picture_width,
                        int picture_height) {
    LayoutRect r = frame;
    if (!full_screen) {
        r.left += edge;
        r.top += edge;
        r.right -= edge;
        r.bottom -= edge;
    }
    if (picture_width <= 0 || picture_height <= 0) return r;
    // 64-bit products: a 4K picture on a wide frame overflows 32 bits easily.
    const long long fw = r.Width();
    const long long fh = r.Height();
    const long long pw = picture_width;
    const long long ph = picture_height;
    if (fw * ph < fh * pw) {
        const int h = static_cast<int>(fw * ph / pw);
        r.top += (static_cast<int>(fh) - h) / 2;
        r.bottom = r.top + h;
    } else if (fw * ph > fh * pw) {
        const int w = static_cast<int>(fh * pw / ph);
        r.left += (static_cast<int>(fw) - w) / 2;
        r.right = r.left + w;
    }
    return r;
}

LabelMargins OpenInfoLabelMargins(bool japanese) {
    const int m = japanese ? 10 : 20;
    return LabelMargins{m, 0, m, 26};
}

LabelMargins ConfLabelMargins(bool japanese) {
    const int m = japanese ? 16 : 4;
    return LabelMargins{m, 0, m, 26};
}

LayoutRect SmallWindowRect(const LayoutRect& monitor) {
    constexpr int kWidth = 800;
    constexpr int kHeight = 560;
    const int x = monitor.left + (monitor.Width() - kWidth) / 2;
    const int y = monitor.top + (monitor.Height() - kHeight) / 2;
    return LayoutRect::FromSize(x, y, kWidth, kHeight);
}

LayoutRect MediumWindowRect(const LayoutRect& monitor) {
    const int w = std::max(800, monitor.Width() * 4 / 5);
    const int h = std::max(560, monitor.Height() * 4 / 5);
    return LayoutRect::FromSize(monitor.left + monitor.Width() / 8,
                                monitor.top + monitor.Height() / 8, w, h);
}

LayoutRect FullScreenWindowRect(const LayoutRect& monitor, int client_width, int client_height) {
    LayoutRect r = monitor;
    if (client_width == monitor.Width() || client_height == monitor.Height()) r.bottom -= 1;
    return r;
}

}  // namespace orvo
