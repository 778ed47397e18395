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
    // A match across a block boundary is looked for in the carried end of the block before
    // joined to the start of this one; then the block itself is searched where it lies. The
    // carried end starts on a whole character: folding a low surrogate depends on the high one
    // before it.
    QString carried;
    int carriedAt = start - 1;
    int found = 0;
    editor.readText(start - 1, [&](int position, QStringView block) {
        if (!carried.isEmpty()) {
            const QString joint = carried + block.left(find.size()).toString();
            const qsizetype at = joint.indexOf(find, 0, Qt::CaseInsensitive);
            if (at >= 0 && at < carried.size()) {
                found = carriedAt + static_cast<int>(at) + 1;
                return false;
            }
        }
        // The first block may start one unit early, with the surrogate pair `start` falls in.
        const qsizetype at = block.indexOf(find, std::max(0, start - 1 - position), Qt::CaseInsensitive);
        if (at >= 0) {
            found = position + static_cast<int>(at) + 1;
            return false;
        }
        const QString window = block.size() >= find.size() + 1 ? block.right(find.size() + 1).toString()
                                                                : carried + block.toString();
        qsizetype keep = std::min(window.size(), find.size());
        if (keep < window.size() && window[window.size() - keep].isLowSurrogate())
            ++keep;
        carried = window.right(keep);
        carriedAt = position + static_cast<int>(block.size()) - static_cast<int>(keep);
        return true;
    });
    return found;
}
