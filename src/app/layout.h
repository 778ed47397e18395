#pragma once

#include <optional>

namespace Layout {
// Space left free on the right and at the bottom, for the tab strip in the window and for each
// editor in the tab strip.
constexpr float Margin = 120.0f;

// The length that fills `outer` from `offset` onwards, leaving the margin, in twips and single
// precision; nothing when that is 0 or less (the length then keeps its value).
std::optional<float> fill(float outer, float offset);
} // namespace Layout
