#include "playback/early_surface.h"

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace orvo {

CEarlySurface::CEarlySurface(int width, int height) {
    int screen_number = 0;
    connection_ = xcb_connect(nullptr, &screen_number);
    if (connection_ == nullptr || xcb_connection_has_error(connection_) != 0) return;
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection_));
    for (int i = 0; i < screen_number && screens.rem > 0; ++i) xcb_screen_next(&screens);
    if (screens.rem == 0) return;
    const xcb_screen_t* screen = screens.data;
    const std::uint32_t id = xcb_generate_id(connection_);
    // Black like the video surface, so nothing flashes while the first
    // picture is on its way.
    const std::uint32_t values[] = {screen->black_pixel};
    const xcb_void_cookie_t made = xcb_create_window_checked(
        connection_, XCB_COPY_FROM_PARENT, id, screen->root, 0, 0,
        static_cast<std::uint16_t>(width > 0 ? width : 1),
        static_cast<std::uint16_t>(height > 0 ? height : 1), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
        screen->root_visual, XCB_CW_BACK_PIXEL, values);
    if (xcb_generic_error_t* error = xcb_request_check(connection_, made)) {
        std::free(error);
        return;
    }
    window_ = id;
}

CEarlySurface::~CEarlySurface() {
    if (connection_ == nullptr) return;
    if (window_ != 0) xcb_destroy_window(connection_, window_);
    xcb_flush(connection_);
    xcb_disconnect(connection_);
}

bool ToolkitDrawsOnX11(const char* display, const char* qpa_platform, const char* session_type) {
    if (display == nullptr || *display == '\0') return false;
    if (qpa_platform != nullptr && *qpa_platform != '\0')
        return std::strncmp(qpa_platform, "xcb", 3) == 0;
    // The toolkit may choose Wayland by itself in a Wayland session.
    return session_type == nullptr || std::strcmp(session_type, "wayland") != 0;
}

}  // namespace orvo
