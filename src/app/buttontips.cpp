// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands.h"

#include <QCoreApplication>

QString toolTipOf(const Command &command)
{
    // The captions of the six shortcut commands name their keys already.
    switch (command.button) {
    case Button::PushButton9: return QCoreApplication::translate("Command", "Redo (Ctrl+Y)");
    case Button::PushButton13: return QCoreApplication::translate("Command", "Find Next (F3)");
    default: return QCoreApplication::translate("Command", command.caption);
    }
}
