#include "controls/button_state.h"

namespace orvo {

void OnButtonPress(ButtonFlags& flags) {
    if (!flags.greyed && flags.toggle_mode) flags.toggled = !flags.toggled;
}

ButtonSurface SelectButtonSurface(const ButtonFlags& flags, bool selected) {
    if (flags.greyed) return ButtonSurface::kGreyed;
    // A toggled button without an alternate image keeps its standard pictures
    // rather than showing a picture that was never built.
    const bool alternate = flags.toggled && flags.has_alternate;
    if (selected) return alternate ? ButtonSurface::kAltPressed : ButtonSurface::kPressed;
    if (flags.hovering) return alternate ? ButtonSurface::kAltHot : ButtonSurface::kHot;
    return alternate ? ButtonSurface::kAltStandard : ButtonSurface::kStandard;
}

}  // namespace orvo
