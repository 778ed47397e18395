#pragma once

#include <QString>

// The 1-based position of the first occurrence of `find` in `text` at or after the 1-based
// position `start`, comparing without regard to letter case; 0 when there is none, when `start`
// lies beyond the end of `text`, or when `find` is empty. Positions count UTF-16 code units of
// the text as the editor gives it, line breaks "\r\n" included. A start below 1 is a failure.
int searchText(const QString &text, const QString &find, int start);

class Editor;

// The same search over an editor's text, read block by block instead of copied whole.
int searchText(const Editor &editor, const QString &find, int start);
