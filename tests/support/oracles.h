// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Plain, slow versions of what the program does faster, for tests to compare against.

#include "app/failure.h"
#include "platform/editor.h"
#include "undo/modundos.h"

#include <QString>

// The whole-text search the editor's byte search must agree with: the 1-based position of the
// first occurrence of `find` at or after the 1-based `start`, ignoring letter case; 0 when there
// is none. Qt folds case code unit by code unit (surrogate pairs as one letter).
inline int searchText(const QString &text, const QString &find, int start)
{
    if (start < 1)
        throw Failure(QStringLiteral("Invalid procedure call or argument"));
    if (find.isEmpty() || start > text.size())
        return 0;
    const qsizetype at = text.indexOf(find, start - 1, Qt::CaseInsensitive);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

// The whole text an undo record stands for, rebuilt from the editor's present text (the state of
// the history's last record) through the stretches between them.
inline QString undoText(const ModUndos &h, const Editor &e, size_t index)
{
    QString text = e.text();
    for (size_t k = h.Undos.size(); k-- > index + 1;)
        text.replace(h.Undos[k].start, h.Undos[k].inserted.size(), h.Undos[k].removed);
    return text;
}

inline QString redoText(const ModUndos &h, const Editor &e, size_t index)
{
    QString text = e.text();
    for (size_t k = h.Redos.size(); k-- > index;)
        text.replace(h.Redos[k].start, h.Redos[k].removed.size(), h.Redos[k].inserted);
    return text;
}
