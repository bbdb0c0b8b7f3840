#pragma once

#include <optional>

// Whether the desktop draws a translucent window over what lies behind it. On X11 that takes a
// compositing manager (the owner of the "_NET_WM_CM_S<screen>" selection); without one, the
// transparent pixels of a window show black, so a window with a shape of its own must cut its
// outside away with a mask. Wayland always composites; other platforms are taken to.
bool DMDesktop_drawsTranslucentWindows();

// Answers the given value instead of asking the desktop (tests); nullopt asks again.
void DMDesktop_setDrawsTranslucentWindowsForTesting(std::optional<bool> draws);
