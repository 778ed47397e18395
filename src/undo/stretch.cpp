#include "undo/stretch.h"

#include <QStringView>
#include <algorithm>

namespace {

// A position between these two characters would split one character of the editor.
bool splits(QChar left, QChar right)
{
    return (left == QLatin1Char('\r') && right == QLatin1Char('\n')) || (left.isHighSurrogate() && right.isLowSurrogate());
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
