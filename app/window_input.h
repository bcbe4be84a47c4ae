#pragma once

#include <optional>

#include "app/window_layout.h"

namespace orvo {

// What a left-button press on the main window's free area grabs.
enum class DragTarget { kNone, kGrip, kMapSplitter, kPaneSplitter };

// The cursor a position or a drag shows.
enum class CursorShape { kArrow, kSizeNwse, kSizeNs, kSizeWe };

// Size of the resize grip in the bottom-right corner, in pixels.
inline constexpr int kGripSize = 20;
// Top of both splitters and of the right pane (below the top button row).
inline constexpr int kPaneTop = 64;
// Narrowest left pane the pane splitter leaves, and where it starts to bind.
inline constexpr int kMinLeftPane = 760;
inline constexpr int kPaneSplitterMinX = 730;

// The grip rectangle for a client size: the last 20 x 20 pixels.
LayoutRect GripRect(int client_width, int client_height);

// True when (x, y) lies inside r (right and bottom exclusive).
bool Contains(const LayoutRect& r, int x, int y);

// The first of grip, map splitter and pane splitter that holds the point.
DragTarget HitTestDrag(int x, int y, int client_width, int client_height,
                       const LayoutRect& map_splitter, const LayoutRect& pane_splitter);

CursorShape CursorFor(DragTarget target);

// Window size while the grip is dragged to client point (x, y); never below
// the smallest window.
struct WindowSize {
    int width = 0;
    int height = 0;
    bool operator==(const WindowSize&) const = default;
};
WindowSize GripWindowSize(int x, int y);

// Stored right-pane width when the pane splitter is dragged to x; the
// layout clamps it further.
int PaneWidthFromSplitter(int x, int client_width);
// Stored map height when the map splitter is dragged to y.
int MapHeightFromSplitter(int y);

// The part of the decoded frame that is shown, in video pixels (right and
// bottom exclusive). All 0 means not set yet: the whole frame.
struct CropRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool IsUnset() const { return left == 0 && top == 0 && right == 0 && bottom == 0; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const CropRect&) const = default;
};

// Margins cut from each edge of a W x H frame: what the engine is given.
struct CropMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CropMargins&) const = default;
};

// Fits a wanted rectangle into a W x H frame (W, H > 0): the height follows
// the width at the frame's aspect, a rectangle wider than the frame becomes
// the whole frame, and one that sticks out slides back inside keeping its
// size.
CropRect FitCropRect(const CropRect& wanted, int frame_width, int frame_height);
CropMargins MarginsOf(const CropRect& crop, int frame_width, int frame_height);

// One wheel step over the surface point (x, y) of a surface SW x SH showing
// `crop` of a W x H frame. A positive delta zooms in (each edge moves to 83 %
// of its distance to the point), any other zooms out (125 %). Zooming in
// stops at one frame pixel per surface pixel: nullopt when that limit was
// already reached. The result is fitted into the frame.
std::optional<CropRect> ZoomCrop(const CropRect& crop, int frame_width, int frame_height, int delta,
                                 int x, int y, int surface_width, int surface_height);

// The crop after the mouse moved from (origin_x, origin_y) to (x, y) on the
// surface since the pan began with `start`: the picture follows the mouse and
// stops at the frame's edges.
CropRect PanCrop(const CropRect& start, int frame_width, int frame_height, int origin_x,
                 int origin_y, int x, int y, int surface_width, int surface_height);

}  // namespace orvo
