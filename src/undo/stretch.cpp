// SPDX-License-Identifier: GPL-3.0-or-later
#include "undo/stretch.h"

#include <QStringView>
#include <algorithm>

namespace {

// A position between these two characters would split one character of the editor.
bool splits(QChar left, QChar right)
{
    return (left == QLatin1Char('\r') && right == QLatin1Char('\n')) ||
           (left.isHighSurrogate() && right.isLowSurrogate());
}

// Whether `longer` is `shorter` with a stretch inserted that ends at `end`.
bool insertedEndingAt(QStringView shorter, QStringView longer, qint32 end)
{
    const qsizetype d = longer.size() - shorter.size();
    if (d < 0 || end < d || end > longer.size())
        return false;
    return longer.left(end - d) == shorter.left(end - d) && longer.mid(end) == shorter.mid(end - d);
}

bool splitAt(const QString &text, qsizetype pos)
{
    return pos > 0 && pos < text.size() && splits(text[pos - 1], text[pos]);
}

// Whether the editor can select the stretch exactly in both texts.
bool whole(const QString &before, const QString &after, const Stretch &s)
{
    return !splitAt(before, s.start) && !splitAt(after, s.start) && !splitAt(before, s.start + s.removed) &&
           !splitAt(after, s.start + s.inserted);
}

} // namespace

Stretch commonStretch(const QString &before, const QString &after)
{
    const qsizetype shortest = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shortest && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shortest - prefix && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // Widen the stretch until neither end splits a character in either text.
    while (prefix > 0 && (splitAt(before, prefix) || splitAt(after, prefix)))
        --prefix;
    while (suffix > 0 && (splitAt(before, before.size() - suffix) || splitAt(after, after.size() - suffix)))
        --suffix;
    return Stretch{static_cast<qint32>(prefix), static_cast<qint32>(before.size() - prefix - suffix),
                   static_cast<qint32>(after.size() - prefix - suffix), false};
}

Stretch editStretch(const QString &before, const QString &after, qint32 caretAfter)
{
    const qint32 d = static_cast<qint32>(after.size() - before.size());
    Stretch s;
    if (d >= 0 && insertedEndingAt(before, after, caretAfter))
        s = Stretch{caretAfter - d, 0, d, true};
    else if (d < 0 && insertedEndingAt(after, before, caretAfter - d))
        s = Stretch{caretAfter, -d, 0, true};
    return s.atCaret && whole(before, after, s) ? s : commonStretch(before, after);
}

Stretch changeStretch(const QString &removed, const QString &inserted, qint32 start, qint32 caretAfter,
                      qint32 lengthAfter, const std::function<QString(qint32 from, qint32 length)> &textAfter,
                      QString &removedOut, QString &insertedOut)
{
    const qint32 end = start + static_cast<qint32>(inserted.size()); // of the change, in the text after
    // Outside the window the two texts are the same, so the stretch within the window is the
    // whole texts' stretch unless it reaches the window's edge; then the window grows.
    for (qint32 margin = 16;; margin *= 4) {
        const qint32 lo = std::max(0, std::min(start, caretAfter) - margin);
        const qint32 hi = std::min(lengthAfter, std::max(end, caretAfter) + margin);
        const QString before = textAfter(lo, start - lo);
        const QString after = textAfter(end, hi - end);
        const QString b = before + removed + after;
        const QString a = before + inserted + after;
        const Stretch s = editStretch(b, a, caretAfter - lo);
        const bool wholeLeft = lo == 0 || s.start > 0;
        const bool wholeRight = hi == lengthAfter || s.start + s.removed < b.size();
        if ((wholeLeft && wholeRight) || (lo == 0 && hi == lengthAfter)) {
            removedOut = b.mid(s.start, s.removed);
            insertedOut = a.mid(s.start, s.inserted);
            return Stretch{lo + s.start, s.removed, s.inserted, s.atCaret};
        }
    }
}
