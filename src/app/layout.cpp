// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/layout.h"

#include "app/form1.h"
#include "platform/editor.h"
#include "platform/tabstrip.h"
#include "platform/window.h"

#include <algorithm>

std::optional<float> Layout::fill(float outer, float offset)
{
    const float length = outer - offset - Margin;
    if (length > 0.0f)
        return length;
    return std::nullopt;
}

double Layout::fitScale(int room, int needed)
{
    if (needed <= 0 || room >= needed)
        return 1.0;
    return std::max(0.25, static_cast<double>(room) / needed);
}

Layout::Placement Layout::placeWindow(Area screen, Size designed, Frame frame)
{
    const auto place = [](int start, int room, int designed, int before, int after, int &frameAt, int &client) {
        client = std::max(1, std::min(designed, room - before - after));
        const int outer = client + before + after;
        frameAt = start + std::max(0, (room - outer) / 2);
    };
    Placement p{};
    place(screen.x, screen.width, designed.width, frame.left, frame.right, p.frameX, p.clientWidth);
    place(screen.y, screen.height, designed.height, frame.top, frame.bottom, p.frameY, p.clientHeight);
    return p;
}

void Form1::Form_Resize()
{
    Steps step(*this, "Form_Resize");
    if (step.test(100, [&] { return p.window.windowState() == WindowState::Minimized; }))
        return;
    step(102, [&] {
        // A shown status line takes the bottom edge; the tab strip keeps its margin above it.
        const double bottom = p.window.scaleHeight() - (statusLineShown_ ? p.window.statusLineHeight() : 0.0);
        if (const auto h = Layout::fill(static_cast<float>(bottom), static_cast<float>(p.tabs.top())))
            p.tabs.setHeight(*h);
    });
    step(104, [&] {
        if (const auto w = Layout::fill(static_cast<float>(p.window.scaleWidth()), static_cast<float>(p.tabs.left())))
            p.tabs.setWidth(*w);
    });
    // Hidden editors of closed documents too, so a tab change shows them at the right size.
    int last = -1;
    step(106, [&] { last = loadedEditorCount() - 1; });
    for (int i = 0; i <= last; ++i) {
        step(108, [&] {
            Editor &e = RichTextBox(i);
            if (const auto h = Layout::fill(static_cast<float>(p.tabs.height()), static_cast<float>(e.top())))
                e.setHeight(*h);
        });
        step(110, [&] {
            Editor &e = RichTextBox(i);
            if (const auto w = Layout::fill(static_cast<float>(p.tabs.width()), static_cast<float>(e.left())))
                e.setWidth(*w);
        });
        // 112: next editor.
    }
}
