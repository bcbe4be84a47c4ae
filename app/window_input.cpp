#include "app/window_input.h"

#include <algorithm>
#include <cstdint>

#include "app/qor_settings.h"

namespace orvo {

namespace {

// Wheel factors in hundredths: 10000 / 120 towards the point, 10000 / 80
// away from it.
constexpr int kZoomInFactor = 10000 / 120;
constexpr int kZoomOutFactor = 10000 / 80;

}  // namespace

LayoutRect GripRect(int client_width, int client_height) {
    return LayoutRect{client_width - kGripSize, client_height - kGripSize, client_width,
                      client_height};
}

bool Contains(const LayoutRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

DragTarget HitTestDrag(int x, int y, int client_width, int client_height,
                       const LayoutRect& map_splitter, const LayoutRect& pane_splitter) {
    if (Contains(GripRect(client_width, client_height), x, y)) return DragTarget::kGrip;
    if (Contains(map_splitter, x, y)) return DragTarget::kMapSplitter;
    if (Contains(pane_splitter, x, y)) return DragTarget::kPaneSplitter;
    return DragTarget::kNone;
}

CursorShape CursorFor(DragTarget target) {
    switch (target) {
        case DragTarget::kGrip:
            return CursorShape::kSizeNwse;
        case DragTarget::kMapSplitter:
            return CursorShape::kSizeNs;
        case DragTarget::kPaneSplitter:
            return CursorShape::kSizeWe;
        case DragTarget::kNone:
            break;
    }
    return CursorShape::kArrow;
}

WindowSize GripWindowSize(int x, int y) {
    return WindowSize{std::max(x, kMinWindowWidth), std::max(y, kMinWindowHeight)};
}

int PaneWidthFromSplitter(int x, int client_width) {
    // Left of 730 the left pane would drop below its 760 pixels.
    return x >= kPaneSplitterMinX ? client_width - x - 30 : client_width - kMinLeftPane;
}

int MapHeightFromSplitter(int y) {
    return y - kPaneTop;
}

CropRect FitCropRect(const CropRect& wanted, int frame_width, int frame_height) {
    const int w = frame_width;
    const int h_frame = frame_height;
    const int width = wanted.right - wanted.left;
    if (width > w) return CropRect{0, 0, w, h_frame};
    // 64-bit: a 4K frame times a wide crop stays far from overflow anyway,
    // but a garbage rectangle must not wrap.
    const int height = static_cast<int>(static_cast<int64_t>(h_frame) * width / w);

    CropRect out;
    out.top = std::max(wanted.top, 0);
    out.bottom = wanted.top >= 0 ? out.top + height : height;
    const int right_edge = wanted.left < 0 ? wanted.right - wanted.left : wanted.right;
    out.right = std::min(w, right_edge);
    out.left = right_edge > w ? w + wanted.left - wanted.right : std::max(wanted.left, 0);
    if (out.bottom > h_frame) {
        out.top += h_frame - out.bottom;
        out.bottom = h_frame;
    }
    return out;
}

CropMargins MarginsOf(const CropRect& crop, int frame_width, int frame_height) {
    return CropMargins{crop.left, crop.top, frame_width - crop.right, frame_height - crop.bottom};
}

std::optional<CropRect> ZoomCrop(const CropRect& crop, int frame_width, int frame_height, int delta,
                                 int x, int y, int surface_width, int surface_height) {
    if (frame_width <= 0 || frame_height <= 0 || surface_width <= 0 || surface_height <= 0) {
        return std::nullopt;
    }
    const CropRect c = crop.IsUnset() ? CropRect{0, 0, frame_width, frame_height} : crop;
    // The frame point under the mouse stays where it is.
    const int px = c.left + x * c.Width() / surface_width;
    const int py = c.top + y * c.Height() / surface_height;
    const int f = delta > 0 ? kZoomInFactor : kZoomOutFactor;

    CropRect next;
    next.left = px + (c.left - px) * f / 100;
    next.right = px + f * (c.right - px) / 100;
    next.top = py + f * (c.top - py) / 100;
    if (next.right - next.left < surface_width) {
        // Past one frame pixel per surface pixel nothing more can be seen.
        if (c.Width() == surface_width) return std::nullopt;
        next.right = next.left + surface_width;
        next.bottom = next.top + surface_height;
    } else {
        next.bottom = py + (c.bottom - py) * f / 100;
    }
    return FitCropRect(next, frame_width, frame_height);
}

CropRect PanCrop(const CropRect& start, int frame_width, int frame_height, int origin_x,
                 int origin_y, int x, int y, int surface_width, int surface_height) {
    if (frame_width <= 0 || frame_height <= 0 || surface_width <= 0 || surface_height <= 0) {
        return start;
    }
    const int dx = (x - origin_x) * start.Width() / surface_width;
    const int dy = (y - origin_y) * start.Height() / surface_height;
    const CropRect moved{start.left - dx, start.top - dy, start.right - dx, start.bottom - dy};
    return FitCropRect(moved, frame_width, frame_height);
}

}  // namespace orvo
