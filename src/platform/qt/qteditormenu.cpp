// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/mainwindow.h"
#include "platform/qt/qtprompts.h"
#include "platform/qt/twips.h"

#include <QAction>
#include <QMenu>

int QtPrompts::editorMenu(const std::vector<MenuEntry> &entries, double x, double y)
{
    QMenu menu(&window_);
    menu.setObjectName(QStringLiteral("mnuEditor"));
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const MenuEntry &entry = entries[static_cast<size_t>(i)];
        if (entry.caption.isEmpty()) {
            menu.addSeparator();
            continue;
        }
        QAction *action = menu.addAction(entry.caption);
        action->setData(i);
        action->setEnabled(entry.enabled);
        action->setCheckable(entry.checkable);
        action->setChecked(entry.checked);
    }
    QAction *picked = menu.exec(window_.mapToGlobal(QPoint(Twips::toPixels(x), Twips::toPixels(y))));
    return picked ? picked->data().toInt() : -1;
}
