// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commands.h"

QString toolTipOf(const Command &command)
{
    // The captions of the six shortcut commands name their keys already.
    switch (command.button) {
    case Button::PushButton9: return QStringLiteral("Redo (Ctrl+Y)");
    case Button::PushButton13: return QStringLiteral("Find Next (F3)");
    default: return QString::fromLatin1(command.caption);
    }
}
