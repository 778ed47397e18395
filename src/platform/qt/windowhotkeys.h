// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/hotkeys.h"

#include <QKeySequence>
#include <QPointer>
#include <QShortcut>
#include <vector>

class QWidget;

// Where the window system offers no system-wide grabs (Wayland, the offscreen platform): the
// combinations work while the window is the active one.
class WindowHotKeys : public HotKeys {
public:
    explicit WindowHotKeys(QWidget *window) : window_(window) {}
    ~WindowHotKeys() override;

    // Fails for a key without a Qt counterpart and for a combination already taken here.
    bool registerHotKey(int id, int modifiers, int key) override;

    // The key sequence of a hot key; empty when there is none.
    static QKeySequence sequenceOf(int modifiers, int key);

private:
    QWidget *window_;
    std::vector<QPointer<QShortcut>> shortcuts_;
};
