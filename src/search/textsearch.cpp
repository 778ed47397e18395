#include "search/textsearch.h"

#include "app/failure.h"

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
