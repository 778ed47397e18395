// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace Layout {
// Space left free on the right and at the bottom, for the tab strip in the window and for each
// editor in the tab strip.
constexpr float Margin = 120.0f;

// The length that fills `outer` from `offset` onwards, leaving the margin, in twips and single
// precision; nothing when that is 0 or less (the length then keeps its value).
std::optional<float> fill(float outer, float offset);

struct Area {
    int x, y, width, height;
};
struct Size {
    int width, height;
};
struct Frame {
    int left, top, right, bottom; // the window system's frame around the client area, title bar on top
};
struct Placement {
    int frameX, frameY;            // where the frame's top left goes
    int clientWidth, clientHeight; // the client area's size
};

// The command buttons reach 10200 twips from the left, plus the margin.
constexpr int ButtonsWidth = 10320;

// How much the whole design (lengths and the buttons' fonts) shrinks so that `needed` pixels fit
// into `room`: 1 when they fit already.
double fitScale(int room, int needed);

// Where the main window goes at start-up: centred on the screen's free area, at the designed size
// where that fits. Where it does not, the window gets smaller and starts at the area's edge, so
// that its title bar with the window's buttons and its command buttons stay on the screen.
Placement placeWindow(Area screen, Size designed, Frame frame);
} // namespace Layout
