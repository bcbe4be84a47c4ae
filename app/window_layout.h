#pragma once

namespace orvo {

// A rectangle in client pixels, right and bottom exclusive.
struct LayoutRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    static constexpr LayoutRect FromSize(int x, int y, int width, int height) {
        return LayoutRect{x, y, x + width, y + height};
    }
    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    bool operator==(const LayoutRect&) const = default;
};

// What the main window's placement depends on.
struct LayoutInput {
    int cx = 0;  // client width
    int cy = 0;  // client height
    bool map_shown = true;
    bool gsensor_shown = true;
    int right_pane_width = 380;  // stored width of the map and file-list column
    int map_height = 340;        // stored height of the map pane
    bool full_screen = false;
    LayoutRect monitor;  // the monitor's rectangle in client coordinates
};

// Every rectangle the main window sets. In full-screen mode only the video
// frame is placed (over the whole monitor); the rest keep their places.
struct MainLayout {
    bool full_screen = false;
    LayoutRect video_frame;  // 1007

    // Title buttons: close 1045, work area [ ] 4 and restore L 1060 (same
    // place, one of them visible), minimise 1044.
    LayoutRect close;
    LayoutRect max_window;
    LayoutRect restore_window;
    LayoutRect minimise;

    int right_pane_width = 0;  // after the clamps
    int right_pane_left = 0;   // L
    int right_pane_right = 0;  // R
    int left_pane_right = 0;   // E

    LayoutRect map_view;
    LayoutRect file_list;      // 1027
    LayoutRect map_splitter;   // hit rectangle
    LayoutRect pane_splitter;  // hit rectangle

    LayoutRect position_slider;  // 1008
    LayoutRect gsensor;          // 1003 (placed only while shown)
    LayoutRect group_list;       // 1028 (never visible: zero or negative height)
    LayoutRect status_board;     // 1061
    LayoutRect speed_label;      // 1056
    LayoutRect note;             // 1069

    // Bottom row.
    LayoutRect gsr;            // 1025
    LayoutRect snap;           // 1006
    LayoutRect full;           // 1030
    LayoutRect volume_button;  // 1046
    LayoutRect volume_slider;  // 1019

    // Transport row, left to right.
    LayoutRect prev;  // 1020
    LayoutRect slow;  // 1018
    LayoutRect play;  // 1015
    LayoutRect fast;  // 1017
    LayoutRect next;  // 1029
    // The frame's wall-clock time and position / length: the free space
    // between NEXT and the volume button, as high as the transport row.
    LayoutRect frame_time;

    // Top row.
    LayoutRect open;  // 1001
    LayoutRect conf;  // 1014
    LayoutRect info;  // 1009
};

// Places every control for a client size (pure, so every rule can be tested).
MainLayout ComputeMainLayout(const LayoutInput& input);

// The video surface inside the frame with the clip's aspect ratio. `edge`
// pixels are taken off each side of the frame except in full screen; a
// picture size of 0 keeps the (shrunk) frame.
LayoutRect FitVideoRect(const LayoutRect& frame, int edge, bool full_screen, int picture_width,
                        int picture_height);

// Left and right label margin of a labelled top button (the label starts 4
// pixels right of it); top 0, bottom 26 for all.
struct LabelMargins {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 26;
};
LabelMargins OpenInfoLabelMargins(bool japanese);  // OPEN and INFO
LabelMargins ConfLabelMargins(bool japanese);      // Conf

// Window rectangles (screen pixels) for the size commands on a monitor.
LayoutRect SmallWindowRect(const LayoutRect& monitor);   // S: 800 x 560 centred
LayoutRect MediumWindowRect(const LayoutRect& monitor);  // M: four fifths
// Entering full screen: the monitor, one pixel shorter when the client
// already has the monitor's width or height (so that the size changes).
LayoutRect FullScreenWindowRect(const LayoutRect& monitor, int client_width, int client_height);

}  // namespace orvo
