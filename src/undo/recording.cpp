#include "app/form1.h"

#include "platform/editor.h"
#include "platform/tabstrip.h"

void Form1::RichTextBox1_Change(int Index)
{
    if (Busy) {
        noteUnrecordedChange(Index);
        return;
    }
    // The snapshot is of the current document; only its own change is an edit of it.
    const bool current = p.tabs.selectedPosition() >= 0 && currentEditorIndex() == Index;
    if (undo.UndoRecording && current) {
        undo.record(Index, UndoDocument == Index, ModUndos::stateOf(RichTextBox(Index)));
        UndoDocument = static_cast<qint16>(Index);
    } else {
        noteUnrecordedChange(Index);
    }
    markChanged(Index);
}

void Form1::noteUnrecordedChange(int Index)
{
    undo.see(Index, ModUndos::stateOf(RichTextBox(Index)));
    // The history no longer leads to the text of the document it holds: undoing would bring
    // back texts of another document, or drop this change.
    if (Index == UndoDocument && !undo.applying())
        undo.clear();
}

void Form1::editorCreated(int index)
{
    undo.forget(index);
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
