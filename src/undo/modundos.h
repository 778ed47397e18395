#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

class Editor;

// One snapshot: the state of a document right after one change.
struct UndoElement {
    qint32 SelStart = 0;
    qint32 TextLen = 0;
    QString Text;
};

// The program-wide edit history. Owned by the program and handed to the window.
//
// The history holds the records of one document at a time. Its first record is the base: the
// document's state just before the first edit recorded for it. To have that state at hand,
// the history keeps what it last saw of every editor; the text is shared with the records, so
// an edited document costs no second copy.
class ModUndos {
public:
    std::vector<UndoElement> Undos;
    std::vector<UndoElement> Redos;
    bool UndoRecording = false;

    // Each applies one step to the editor and throws when the editor rejects it.
    void Undo(Editor &E);
    void Redo(Editor &E);
    static QString ChangedText(const QString &a, const QString &b, qint32 pos);

    // Records the edit that left editor `index` in the state `after`. Unless the history
    // already holds that document, it starts afresh from the document's state before the edit.
    void record(int index, bool holdsDocument, UndoElement after);
    // A change that is not recorded: it becomes the state the editor's next edit starts from.
    void see(int index, UndoElement state);
    // Editor `index` was created anew, empty.
    void forget(int index);
    // The state last seen of editor `index`: recorded, changed, or empty since it was created.
    UndoElement lastSeen(int index) const;
    // True while Undo or Redo changes the editor.
    bool applying() const { return applying_; }
    void clear();

    static UndoElement stateOf(const Editor &e);

private:
    std::vector<UndoElement> seen_; // by editor index
    bool applying_ = false;
};
