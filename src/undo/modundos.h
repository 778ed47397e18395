// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

class Editor;
class PieceChange;
struct TextChange;

// One record: the state of a document right after one change, and the stretch by which that
// change turned the text before it into this one (`removed` at `start` became `inserted`).
// The history keeps changes, not texts: a record costs what its edit changed.
struct UndoElement {
    qint32 SelStart = 0;
    qint32 TextLen = 0;
    qint32 start = 0;
    QString removed;
    QString inserted;
    // Undo or Redo changed the editor for this record but failed before moving it: the next
    // step only moves it.
    bool applied = false;
    // A change of many pieces at once (Replace All) instead of one stretch: `start` is then
    // where its span starts, and `removed` and `inserted` stay empty.
    std::shared_ptr<const PieceChange> pieces = nullptr;
};

// The program-wide edit history. Owned by the program and handed to the window.
//
// The history holds the records of one document at a time. Its first record is the base: the
// document's state just before the first edit recorded for it, with no stretch of its own.
class ModUndos {
public:
    std::vector<UndoElement> Undos;
    std::vector<UndoElement> Redos;
    bool UndoRecording = false;

    // Each applies one step to the editor and throws when the editor rejects it.
    // Whether Undo (Redo) would change the text now.
    bool canUndo() const { return Undos.size() >= 2 && UndoRecording; }
    bool canRedo() const { return !Redos.empty() && UndoRecording; }
    void Undo(Editor &E);
    void Redo(Editor &E);

    // Records `change`, which left editor E in its present state. Unless the history already
    // holds that document, it starts afresh from the document's state before the change.
    void record(const Editor &E, bool holdsDocument, const TextChange &change);
    // Records `pieces`, which left editor E in its present state; before it the caret stood at
    // `selStartBefore` of a text `textLenBefore` long.
    void recordPieces(const Editor &E, bool holdsDocument, std::shared_ptr<const PieceChange> pieces,
                      qint32 selStartBefore, qint32 textLenBefore);
    // True while Undo or Redo changes the editor.
    bool applying() const { return applying_; }
    void clear();

private:
    bool applying_ = false;
};
