// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// The one stretch by which an edit turned one text into another: the `removed` characters at
// `start` of the text before became the `inserted` characters at `start` of the text after.
struct Stretch {
    qint32 start = 0;
    qint32 removed = 0;
    qint32 inserted = 0;
    bool atCaret = false; // a plain insertion or removal at the caret (typing, Backspace, Delete, paste)

    bool operator==(const Stretch &) const = default;
};

// The stretch of the edit that turned `before` into `after`, given the caret right after it.
// When the texts differ by an insertion ending at the caret, or by a removal starting at it,
// that is the stretch, so that a repeated character is placed where it was typed. Otherwise
// (a paste or a typed character over a selection) it lies between the texts' common start
// and common end.
Stretch editStretch(const QString &before, const QString &after, qint32 caretAfter);

// The stretch between the common start and the common end of two texts. Its ends never fall
// inside a "\r\n" line break or a surrogate pair, so that the editor can select it exactly.
Stretch commonStretch(const QString &before, const QString &after);

// The stretch of an edit that is known by what it changed: `removed` at `start` of the text
// before became `inserted`, leaving a text of `lengthAfter` units with the caret at
// `caretAfter`. It is the stretch editStretch finds between the two whole texts, found from
// the text around the change only: `textAfter(from, length)` reads the text after the edit.
// `removedOut` and `insertedOut` receive the stretch's texts.
Stretch changeStretch(const QString &removed, const QString &inserted, qint32 start, qint32 caretAfter,
                      qint32 lengthAfter, const std::function<QString(qint32 from, qint32 length)> &textAfter,
                      QString &removedOut, QString &insertedOut);
