// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "documents/drafts.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <limits>

void Form1::PushButton11_Click()
{
    Steps step(*this, "PushButton11_Click");
    if (step.test(100, [&] { return isChanged(p.tabs.selectedPosition()); })) {
        int answer = 0;
        step(102, [&] {
            answer = p.prompts.msgBox(tr("File has been changed. \r\nDo you want to save changes?"),
                                      MsgStyle::YesNo + MsgStyle::Discards, tr("Save Changes"));
        });
        // Without an answer nothing is decided: the document stays as it is.
        if (answer != MsgResult::Yes && answer != MsgResult::No)
            return;
        // Save removes the mark only when the text was written; a cancelled dialog or a failed
        // write keeps the document open rather than losing its text.
        if (answer == MsgResult::Yes && step.test(104, [&] {
                PushButton7_Click();
                return isChanged(p.tabs.selectedPosition());
            }))
            return;
    }
    // Closing the last document needs a fresh editor index for its replacement; when none is
    // left, the document stays open rather than leaving the window without one, and the
    // increment's overflow is reported.
    const bool keepLast = p.tabs.count() == 1 && EditorCount == std::numeric_limits<qint16>::max();
    if (!keepLast) {
        step(106, [&] { AddRecent(record(currentEditorIndex()).text(), true); });
        step(108, [&] {
            // The closed document's editor stays loaded and hidden, but nothing can show its text
            // again: its memory goes back.
            const int index = currentEditorIndex();
            p.tabs.removeTab(p.tabs.selectedPosition());
            RichTextBox(index).release();
            // Closed without saving, or saved: either way its draft has served.
            document(index).draftDue = false;
            drafts->remove(index);
        });
    }
    if (keepLast || step.test(114, [&] { return p.tabs.count() == 0; })) {
        step(116, [&] { Busy = true; });
        if (takeEditorIndex(step, 118))
            addUntitledDocument(step, 120, 0);
        step(138, [&] { Busy = false; });
    }
    if (!keepLast)
        step(140, [&] { TabControl1_SelectedChanged(p.tabs.selectedPosition()); });
}

void Form1::PushButton12_Click()
{
    Steps step(*this, "PushButton12_Click");
    const bool changed = anyDocumentChanged(step, 100);
    // Both ways through do the same; only their step numbers differ.
    int base = 130;
    if (step.test(110, [&] { return changed; })) {
        int answer = MsgResult::No;
        step(112, [&] {
            answer =
                p.prompts.msgBox(tr("There are some file(s) that has been changed.\r\n"
                                    "Do you wish to continue closing all files without saving?"),
                                 MsgStyle::YesNo + MsgStyle::DefaultButton2 + MsgStyle::Discards, tr("Continue Close"));
        });
        if (answer != MsgResult::Yes)
            return;
        base = 114;
    }
    step(base, [&] { AddAllRecent(); });
    step(base + 2, [&] {
        p.tabs.removeAll();
        drafts->removeAll();
    });
    int loaded = 0;
    step(base + 4, [&] { loaded = static_cast<int>(documents.size()); });
    for (int i = 1; i < loaded; ++i) {
        step(base + 6, [&] {
            if (i < static_cast<int>(documents.size()) && documents[i].loaded())
                unloadEditor(i);
        });
    }
    step(base + 10, [&] {
        // The fresh document is saved as a new one: nothing of the last one's file stays.
        Editor *editor = document(0).editor;
        documents[0] = Document{};
        documents[0].editor = editor;
        setRecord(0, DocumentRecord::untitled());
    });
    step(base + 12, [&] { EditorCount = 1; });
    step(base + 14, [&] {
        p.tabs.setTabVisible(p.tabs.insertTab(0, untitledCaption(EditorCount)), true);
        documents[0].caption = untitledCaption(EditorCount);
        if (documents[0].editor) // a screen reader names the editor as the tab
            documents[0].editor->setAccessibleName(documents[0].caption);
    });
    // Emptying editor 0 is no edit of the user's: it neither marks the new tab nor enters the
    // undo history. Odd numbers keep these statements apart from each other and from the other
    // way's steps.
    step(base + 15, [&] { Busy = true; });
    step(base + 17, [&] { RichTextBox(0).setText(QString()); });
    step(base + 19, [&] { Busy = false; });
    step(base + 21, [&] { RichTextBox(0).setVisible(true); });
    step(base + 23, [&] { RichTextBox(0).zOrder(); });
    step(base + 25, [&] { RichTextBox(0).setFocus(); });
}
