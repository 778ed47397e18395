// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/tabstrip.h"

#include <vector>

bool Form1::closeTab(int position)
{
    Steps step(*this, "closeTab");
    int index = -1, before = -1;
    step(100, [&] {
        index = p.tabs.itemData(position);
        before = currentEditorIndex();
    });
    if (index < 0)
        return false;
    // Close works on the selected tab and asks about the text the user sees: the tab is
    // selected first, and the question is Close's own.
    if (step.test(102, [&] { return p.tabs.selectedPosition() != position; }))
        step(104, [&] { p.tabs.select(position); });
    step(106, [&] { PushButton11_Click(); });
    const bool closed = tabOf(index) < 0;
    // Closing a tab beside the selected one leaves the selection where the user had it; after a
    // Cancel too, the selection goes back.
    if (before != index) {
        step(108, [&] {
            const int at = tabOf(before);
            if (at >= 0 && at != p.tabs.selectedPosition())
                p.tabs.select(at);
        });
    }
    return closed;
}

void Form1::closeOtherTabs(int position)
{
    Steps step(*this, "closeOtherTabs");
    int kept = -1;
    std::vector<int> others;
    step(100, [&] {
        kept = p.tabs.itemData(position);
        for (int at = 0; at < p.tabs.count(); ++at) {
            if (at != position)
                others.push_back(p.tabs.itemData(at));
        }
    });
    if (kept < 0)
        return;
    // The one that stays is selected first, so that each question comes back to it.
    step(102, [&] { p.tabs.select(tabOf(kept)); });
    for (const int index : others) {
        bool closed = false;
        step(104, [&] {
            const int at = tabOf(index);
            closed = at < 0 || closeTab(at);
        });
        if (!closed)
            return;
    }
}

QString Form1::tabPath(int position) const
{
    return document(p.tabs.itemData(position)).record.path;
}
