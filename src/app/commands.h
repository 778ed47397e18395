// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/window.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <vector>

class Form1;

// One command of the main window: its button on the window's design, the button's caption, its
// Ctrl-key shortcut if it has one, and the handler that both run. The window builds its buttons
// from this table, a click is dispatched through it, and the shortcuts are registered from it.
struct Command {
    Button button;
    const char *name; // the button's object name
    const char *caption;
    int left, top, width; // twips from the top left of the client area
    void (Form1::*handler)();
    // The shortcut: Ctrl + the letter `key`, whose id is the atom of `atomName`, kept in the
    // form's member `hotKeyId`; key 0 for a command without one.
    char key = 0;
    const char *atomName = nullptr;
    qint32 Form1::*hotKeyId = nullptr;
};

inline constexpr int ButtonHeight = 405; // twips, every button

// In the order the window creates the buttons: the top row, then the bottom row, left to right.
extern const std::array<Command, 13> Commands;

const Command &commandOf(Button button);

// The commands with a shortcut, in the order their shortcuts are registered and compared (that
// of their atoms' names).
const std::vector<const Command *> &shortcutCommands();

// A button's tooltip: its caption with the key that runs it, where it has one (buttontips.cpp).
QString toolTipOf(const Command &command);
