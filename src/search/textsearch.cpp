#include "search/textsearch.h"

#include "app/failure.h"
#include "platform/editor.h"

#include <algorithm>

int searchText(const QString &text, const QString &find, int start)
{
    if (start < 1)
        throw Failure(QStringLiteral("Invalid procedure call or argument"));
    if (find.isEmpty() || start > text.size())
        return 0;
    // Qt folds case code unit by code unit (surrogate pairs as one letter), so a match is as
    // long as the searched text and the selection can use its length.
    const qsizetype at = text.indexOf(find, start - 1, Qt::CaseInsensitive);
    return at < 0 ? 0 : static_cast<int>(at) + 1;
}

int searchText(const Editor &editor, const QString &find, int start)
{
    if (start < 1)
        throw Failure(QStringLiteral("Invalid procedure call or argument"));
    if (find.isEmpty() || start > editor.textLength())
        return 0;
    // Each block is searched after the end of the one before it, so that a match across the
    // boundary is found. The carried end starts on a whole character: folding a low surrogate
    // depends on the high one before it.
    QString carried;
    int carriedAt = start - 1;
    int found = 0;
    editor.readText(start - 1, [&](int position, QStringView block) {
        const QString window = carried + block.toString();
        const qsizetype at = window.indexOf(find, 0, Qt::CaseInsensitive);
        if (at >= 0) {
            found = carriedAt + static_cast<int>(at) + 1;
            return false;
        }
        qsizetype keep = std::min(window.size(), find.size());
        if (keep < window.size() && window[window.size() - keep].isLowSurrogate())
            ++keep;
        carried = window.right(keep);
        carriedAt = position + static_cast<int>(block.size()) - static_cast<int>(keep);
        return true;
    });
    return found;
}
