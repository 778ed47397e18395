// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/files.h"
#include "platform/prompts.h"
#include "platform/window.h"
#include "recent/pathlist.h"
#include <QCoreApplication>

void Form1::LoadRecentMenu()
{
    Steps step(*this, "LoadRecentMenu");
    step(100, [&] { RecentMenuHasItems = false; });
    if (step.test(102, [&] { return RecentList.isEmpty(); }))
        return;
    // Holes go; entry 0 stays empty. Paths of vanished files are kept until the list is stored.
    step(104, [&] { RecentList = compactRecent(RecentList); });
    if (step.test(126, [&] { return RecentList.isEmpty(); }))
        return;
    qsizetype items = 0;
    step(128, [&] { items = static_cast<qsizetype>(subRecent.size()); });
    for (qsizetype j = 0; j < items; ++j) {
        if (j != 0)
            step(132, [&] { subRecent.pop_back(); });
    }
    qint16 k = 0;
    step(136, [&] { k = 0; });
    for (qsizetype i = RecentList.size() - 1; i >= 0; --i) {
        if (!step.test(140, [&] { return isPresentFile(RecentList[i]); }))
            continue;
        if (step.test(142, [&] { return k > 0; }))
            step(144, [&] { subRecent.push_back(MenuItem{}); });
        step(146, [&] { subRecent.back().caption = RecentList[i]; });
        step(148, [&] { subRecent.back().visible = true; });
        step(150, [&] { RecentMenuHasItems = true; });
        step(152, [&] { k = checkedIncrement(k); });
    }
}

void Form1::PushButton4_Click()
{
    Steps step(*this, "PushButton4_Click");
    if (step.test(100, [&] { return RecentMenuHasItems; })) {
        int picked = -1;
        step(102, [&] {
            QStringList captions;
            std::vector<int> itemOf;
            for (size_t j = 0; j < subRecent.size(); ++j) {
                if (subRecent[j].visible) {
                    captions << shownName(subRecent[j].caption); // the item keeps the name's bytes
                    itemOf.push_back(static_cast<int>(j));
                }
            }
            const double x = p.window.buttonLeft(Button::PushButton4);
            const double y = p.window.buttonTop(Button::PushButton4) + p.window.buttonHeight(Button::PushButton4);
            const int shown = p.prompts.popupMenu(captions, x, y);
            if (shown >= 0 && shown < static_cast<int>(itemOf.size()))
                picked = itemOf[shown];
        });
        // The pick is the menu's own event, not a step of this command.
        if (picked >= 0)
            Steps(*this, "subRecent_Click")(0, [&] { subRecent_Click(picked); });
    } else {
        step(104, [&] { p.prompts.msgBox(tr("No recent files."), MsgStyle::OkOnly, QString()); });
    }
}

void Form1::subRecent_Click(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(subRecent.size()))
        throw Failure(QCoreApplication::translate("Failure", "Control array element '%1' doesn't exist").arg(Index));
    OpenFile(subRecent[Index].caption, false);
}
