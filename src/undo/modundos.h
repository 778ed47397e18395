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
class ModUndos {
public:
    std::vector<UndoElement> Undos;
    std::vector<UndoElement> Redos;
    bool UndoRecording = false;

    // Each applies one step to the editor and throws when the editor rejects it.
    void Undo(Editor &E);
    void Redo(Editor &E);
    static QString ChangedText(const QString &a, const QString &b, qint32 pos);
};
