// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "documents/drafts.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"
#include "platform/timer.h"

void Form1::Form_QueryUnload(int &cancel, int)
{
    Steps step(*this, "Form_QueryUnload");
    step(100, [&] { p.timer.setEnabled(false); });
    const bool changedFound = anyDocumentChanged(step, 102);
    if (step.test(112, [&] { return changedFound; })) {
        int answer = MsgResult::No; // a question that cannot be asked keeps the window
        step(114, [&] {
            answer =
                p.prompts.msgBox(tr("Exit without saving?"),
                                 MsgStyle::YesNo + MsgStyle::DefaultButton2 + MsgStyle::Discards, tr("Continue Exit"));
        });
        // Only Yes gives the changes up; a box closed without an answer keeps the window.
        if (answer != MsgResult::Yes)
            step(116, [&] { cancel = 1; });
    }
    // Also when the window stays open: the record always describes the last close request.
    step(118, [&] { SaveOpen(); });
}

// The platform ends the program once the window is unloaded; changes are not saved.
void Form1::Form_Unload(int &)
{
    quitRequested = true;
    // A normal end: the next start has nothing to restore.
    drafts->end();
}
