// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/window.h"
#include "search/textsearch.h"

namespace {
bool findNextGrey(const Window &window)
{
    return !window.findNextAvailable();
}
} // namespace

void Form1::PushButton3_Click()
{
    Steps step(*this, "PushButton3_Click");
    lastSearchFromReplace = false; // F3 repeats this search from now on
    step(100, [&] { p.window.setFindNextAvailable(false); });
    step(102, [&] { FindNextStart = -1; });
    step(104, [&] { FindText.clear(); });
    QString answer;
    step(106, [&] { answer = p.prompts.inputBox(tr("Enter string to search: "), QString()); });
    if (step.test(108, [&] { return answer.isEmpty(); }))
        return;
    int position = 0;
    step(110, [&] { position = searchText(currentEditor(), answer, 1); });
    if (!step.test(112, [&] { return position == 0; })) {
        step(114, [&] { currentEditor().setSelStart(position - 1); });
        step(116, [&] { currentEditor().setSelLength(static_cast<int>(answer.size())); });
        step(118, [&] { currentEditor().setFocus(); });
        step(120, [&] { p.window.setFindNextAvailable(true); });
        step(122, [&] { FindNextStart = position + static_cast<qint32>(answer.size()); });
        step(124, [&] { FindText = answer; });
        return;
    }
    step(126, [&] {
        p.prompts.msgBox(tr("No match is found for the string '%1'").arg(answer), MsgStyle::OkOnly, QString());
    });
}

void Form1::PushButton13_Click()
{
    // Every Yes to the restart question runs the whole command again from its first step. That
    // repeat is this loop rather than a nested call, so a user who keeps answering Yes does not
    // deepen the stack; each round starts afresh as a new call would.
    for (;;) {
        Steps step(*this, "PushButton13_Click");
        if (!step.test(100, [&] { return findNextGrey(p.window); })) {
            if (step.test(102, [&] { return FindText.isEmpty(); }))
                return;
            if (step.test(104, [&] { return FindNextStart < 1; }))
                return;
            int position = 0;
            step(106, [&] { position = searchText(currentEditor(), FindText, FindNextStart); });
            if (step.test(108, [&] { return position > 0; })) {
                step(110, [&] { currentEditor().setSelStart(position - 1); });
                step(112, [&] { currentEditor().setSelLength(static_cast<int>(FindText.size())); });
                step(114, [&] { currentEditor().setFocus(); });
                step(116, [&] { p.window.setFindNextAvailable(true); });
                step(118, [&] { FindNextStart = position + static_cast<qint32>(FindText.size()); });
                return;
            }
            step(120, [&] { p.window.setFindNextAvailable(false); });
            const bool restart = step.test(122, [&] {
                return p.prompts.msgBox(tr("No more match found for the string '%1'\r\nDo you want to start search "
                                           "from the beginning?")
                                            .arg(FindText),
                                        MsgStyle::YesNo, tr("Restart Search")) == MsgResult::Yes;
            });
            if (!restart)
                return;
            step(124, [&] { p.window.setFindNextAvailable(true); });
            step(126, [&] { FindNextStart = 1; });
            continue; // 128: run again from the first step.
        }
        step(130, [&] {
            p.prompts.msgBox(tr("Please use the 'Find' feature first and then use this feature."), MsgStyle::OkOnly,
                             QString());
        });
        return;
    }
}
