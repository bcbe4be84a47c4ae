#pragma once

namespace orvo {

// The ready-made pictures of an image button, in the order they are built.
enum class ButtonSurface {
    kStandard,
    kPressed,
    kHot,
    kAltStandard,
    kAltPressed,
    kAltHot,
    kGreyed,
};
inline constexpr int kButtonSurfaceCount = 7;

// The flags of an image button that decide which picture it shows.
struct ButtonFlags {
    bool has_alternate = false;  // an alternate image was requested
    bool greyed = false;         // greyed picture whatever the state
    bool toggle_mode = false;    // each press flips `toggled`
    bool toggled = false;        // the alternate pictures are shown
    bool hovering = false;       // the mouse is over the button
};

// A press of the button: a toggle button flips its picture on the press
// itself (a double click therefore flips twice). A greyed button does not
// flip.
void OnButtonPress(ButtonFlags& flags);

// The picture for the current flags; `selected` is true while the button is
// held down. Greyed wins over everything; the alternate set is used only when
// the button has one.
ButtonSurface SelectButtonSurface(const ButtonFlags& flags, bool selected);

}  // namespace orvo
