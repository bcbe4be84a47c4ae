#pragma once

#include <cstdint>

struct xcb_connection_t;

namespace orvo {

// The launcher's own window for the engine to draw its first picture into
// while the toolkit is still loading: black, not mapped, on a connection of
// its own. The main window embeds it in the video surface once it exists,
// and it lives until the launcher ends. X11 only: window() is 0 without a
// display.
class CEarlySurface {
public:
    CEarlySurface(int width, int height);
    ~CEarlySurface();
    CEarlySurface(const CEarlySurface&) = delete;
    CEarlySurface& operator=(const CEarlySurface&) = delete;

    std::uintptr_t window() const { return window_; }

private:
    xcb_connection_t* connection_ = nullptr;
    std::uint32_t window_ = 0;
};

// True when the toolkit will draw on the X server the engine reaches: a
// display is set and neither the environment nor the session picks another
// platform.
bool ToolkitDrawsOnX11(const char* display, const char* qpa_platform, const char* session_type);

}  // namespace orvo
