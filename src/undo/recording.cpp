// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/editor.h"
#include "platform/tabstrip.h"

void Form1::RichTextBox1_Change(int Index)
{
    if (statusLineShown_)
        noteStatusChange(Index);
    // Every change, also those the history does not record, goes into the draft's journal.
    if (Document *d = loadedDocument(Index))
        d->journal.note(*d->editor, d->editor->lastChange());
    // Replace All records its many pieces itself (search/replace.cpp).
    if (replacingAll) {
        markChanged(Index);
        return;
    }
    if (Busy) {
        noteUnrecordedChange(Index);
        return;
    }
    // The record is of the current document; only its own change is an edit of it. A refill
    // is no edit: nothing of it can be taken back.
    const bool current = p.tabs.selectedPosition() >= 0 && currentEditorIndex() == Index;
    const Editor &e = RichTextBox(Index);
    if (undo.UndoRecording && current && e.lastChange().known) {
        undo.record(e, UndoDocument == Index, e.lastChange());
        UndoDocument = static_cast<qint16>(Index);
    } else {
        noteUnrecordedChange(Index);
    }
    markChanged(Index);
}

void Form1::noteUnrecordedChange(int Index)
{
    // The history no longer leads to the text of the document it holds: undoing would bring
    // back texts of another document, or drop this change.
    if (Index == UndoDocument && !undo.applying())
        undo.clear();
}

void Form1::editorCreated(int index)
{
    if (index == UndoDocument)
        undo.clear();
}

void Form1::PushButton6_Click()
{
    Steps step(*this, "PushButton6_Click");
    if (step.test(100, [&] { return UndoDocument == currentEditorIndex(); }))
        step(102, [&] { undo.Undo(currentEditor()); });
}

void Form1::PushButton9_Click()
{
    Steps step(*this, "PushButton9_Click");
    if (step.test(100, [&] { return UndoDocument == currentEditorIndex(); }))
        step(102, [&] { undo.Redo(currentEditor()); });
}
