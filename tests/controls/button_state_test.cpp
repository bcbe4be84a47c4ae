#include "controls/button_state.h"

#include <gtest/gtest.h>

namespace orvo {
namespace {

TEST(ButtonStateTest, GreyedWinsOverPressedHoveredAndToggled) {
    ButtonFlags flags;
    flags.has_alternate = true;
    flags.toggle_mode = true;
    flags.toggled = true;
    flags.hovering = true;
    flags.greyed = true;
    EXPECT_EQ(SelectButtonSurface(flags, true), ButtonSurface::kGreyed);
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kGreyed);
}

TEST(ButtonStateTest, PlainButtonStates) {
    ButtonFlags flags;
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kStandard);
    EXPECT_EQ(SelectButtonSurface(flags, true), ButtonSurface::kPressed);
    flags.hovering = true;
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kHot);
    EXPECT_EQ(SelectButtonSurface(flags, true), ButtonSurface::kPressed);
}

TEST(ButtonStateTest, ToggledButtonShowsAlternatePictures) {
    ButtonFlags flags;
    flags.has_alternate = true;
    flags.toggled = true;
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kAltStandard);
    EXPECT_EQ(SelectButtonSurface(flags, true), ButtonSurface::kAltPressed);
    flags.hovering = true;
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kAltHot);
}

TEST(ButtonStateTest, ToggledWithoutAlternateKeepsStandardPictures) {
    ButtonFlags flags;
    flags.toggled = true;
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kStandard);
    EXPECT_EQ(SelectButtonSurface(flags, true), ButtonSurface::kPressed);
}

TEST(ButtonStateTest, TogglePressFlipsOnThePressItself) {
    ButtonFlags flags;
    flags.has_alternate = true;
    flags.toggle_mode = true;
    OnButtonPress(flags);
    EXPECT_TRUE(flags.toggled);
    EXPECT_EQ(SelectButtonSurface(flags, true), ButtonSurface::kAltPressed);
    // Released with the mouse still over it: toggled hot picture.
    flags.hovering = true;
    EXPECT_EQ(SelectButtonSurface(flags, false), ButtonSurface::kAltHot);
    // A double click is two presses: two flips.
    OnButtonPress(flags);
    OnButtonPress(flags);
    EXPECT_TRUE(flags.toggled);
}

TEST(ButtonStateTest, PressDoesNotFlipWithoutToggleModeOrWhenGreyed) {
    ButtonFlags flags;
    flags.has_alternate = true;
    OnButtonPress(flags);
    EXPECT_FALSE(flags.toggled);
    flags.toggle_mode = true;
    flags.greyed = true;
    OnButtonPress(flags);
    EXPECT_FALSE(flags.toggled);
}

}  // namespace
}  // namespace orvo
