// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands.h"

#include "app/form1.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstring>

const std::array<Command, 13> Commands = {{
    {Button::PushButton2, "PushButton2", QT_TRANSLATE_NOOP("Command", "New (Ctrl+N)"), 120, 120, 1560,
     &Form1::PushButton2_Click, 'N', "A00F1", &Form1::HotKeyNew},
    {Button::PushButton1, "PushButton1", QT_TRANSLATE_NOOP("Command", "Open (Ctrl+O)"), 1800, 120, 1800,
     &Form1::PushButton1_Click, 'O', "A00F2", &Form1::HotKeyOpen},
    {Button::PushButton4, "PushButton4", QT_TRANSLATE_NOOP("Command", "Recent Files"), 3720, 120, 1560,
     &Form1::PushButton4_Click},
    {Button::PushButton7, "PushButton7", QT_TRANSLATE_NOOP("Command", "Save (Ctrl+S)"), 5400, 120, 1560,
     &Form1::PushButton7_Click, 'S', "A00F3", &Form1::HotKeySave},
    {Button::PushButton14, "PushButton14", QT_TRANSLATE_NOOP("Command", "Save As (Ctrl+A)"), 7080, 120, 1920,
     &Form1::PushButton14_Click, 'A', "A00F4", &Form1::HotKeySaveAs},
    {Button::PushButton8, "PushButton8", QT_TRANSLATE_NOOP("Command", "Save All"), 9120, 120, 1080,
     &Form1::PushButton8_Click},
    {Button::PushButton6, "PushButton6", QT_TRANSLATE_NOOP("Command", "Undo (Ctrl+Z)"), 120, 630, 1560,
     &Form1::PushButton6_Click, 'Z', "A00F6", &Form1::HotKeyUndo},
    {Button::PushButton9, "PushButton9", QT_TRANSLATE_NOOP("Command", "Redo"), 1800, 630, 840,
     &Form1::PushButton9_Click},
    {Button::PushButton3, "PushButton3", QT_TRANSLATE_NOOP("Command", "Find"), 2760, 630, 1080,
     &Form1::PushButton3_Click},
    {Button::PushButton13, "PushButton13", QT_TRANSLATE_NOOP("Command", "Find Next"), 3960, 630, 1200,
     &Form1::PushButton13_Click},
    {Button::PushButton5, "PushButton5", QT_TRANSLATE_NOOP("Command", "Select All"), 5280, 630, 1200,
     &Form1::PushButton5_Click},
    {Button::PushButton11, "PushButton11", QT_TRANSLATE_NOOP("Command", "Close (Ctrl+W)"), 6600, 630, 1800,
     &Form1::PushButton11_Click, 'W', "A00F5", &Form1::HotKeyClose},
    {Button::PushButton12, "PushButton12", QT_TRANSLATE_NOOP("Command", "Close All"), 8520, 630, 1320,
     &Form1::PushButton12_Click},
}};

const Command &commandOf(Button button)
{
    const auto it =
        std::find_if(Commands.begin(), Commands.end(), [&](const Command &c) { return c.button == button; });
    return it != Commands.end() ? *it : Commands.front();
}

const std::vector<const Command *> &shortcutCommands()
{
    static const std::vector<const Command *> ordered = [] {
        std::vector<const Command *> list;
        for (const Command &c : Commands) {
            if (c.key)
                list.push_back(&c);
        }
        std::sort(list.begin(), list.end(),
                  [](const Command *a, const Command *b) { return std::strcmp(a->atomName, b->atomName) < 0; });
        return list;
    }();
    return ordered;
}
