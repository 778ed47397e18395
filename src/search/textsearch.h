// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class Editor;

// The 1-based position of the first occurrence of `find` in the editor's text at or after the
// 1-based position `start`, comparing without regard to letter case as QString::indexOf does;
// 0 when there is none, when `start` lies beyond the end of the text, or when `find` is empty.
// Positions count UTF-16 code units of the text as the editor gives it, line breaks "\r\n"
// included. A start below 1 is a failure. The text is read block by block, not copied whole.
int searchText(const Editor &editor, const QString &find, int start);
