// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure.h"
#include "undo/modundos.h"
#include "undo/stretch.h"

#include <QList>
#include <QRandomGenerator>
#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

namespace {

const QString Emoji = QString::fromUtf8("\xF0\x9F\x98\x80"); // U+1F600, a surrogate pair

bool splitsACharacter(const QString &text, qsizetype pos)
{
    if (pos <= 0 || pos >= text.size())
        return false;
    return (text[pos - 1] == QLatin1Char('\r') && text[pos] == QLatin1Char('\n')) ||
           (text[pos - 1].isHighSurrogate() && text[pos].isLowSurrogate());
}

// A random text and one edit of it, cut and inserted only at whole characters, as the editor does.
struct RandomEdit {
    QString before, inserted, after;
    int from = 0, to = 0;
};

RandomEdit randomEdit(QRandomGenerator &rng, const QStringList &pieces, int maxPieces, int maxInserted)
{
    auto piece = [&] { return pieces[rng.bounded(int(pieces.size()))]; };
    RandomEdit e;
    for (int n = rng.bounded(maxPieces); n > 0; --n)
        e.before += piece();
    QList<int> cuts;
    for (int i = 0; i <= e.before.size(); ++i)
        if (!splitsACharacter(e.before, i))
            cuts << i;
    e.from = cuts[rng.bounded(int(cuts.size()))];
    e.to = cuts[rng.bounded(int(cuts.size()))];
    if (e.from > e.to)
        std::swap(e.from, e.to);
    for (int n = rng.bounded(maxInserted); n > 0; --n)
        e.inserted += piece();
    e.after = e.before.left(e.from) + e.inserted + e.before.mid(e.to);
    return e;
}

} // namespace

void PrintTo(const Stretch &s, std::ostream *os)
{
    *os << "{start " << s.start << ", removed " << s.removed << ", inserted " << s.inserted
        << (s.atCaret ? ", at caret}" : "}");
}

TEST(EditStretch, APlainInsertionOrRemovalIsTakenAtTheCaret)
{
    // Typing a into aa: the same texts, a different stretch for each caret.
    EXPECT_EQ(editStretch("aa", "aaa", 1), (Stretch{0, 0, 1, true}));
    EXPECT_EQ(editStretch("aa", "aaa", 2), (Stretch{1, 0, 1, true}));
    EXPECT_EQ(editStretch("ab", "ab\r\n", 4), (Stretch{2, 0, 2, true}));
    // Backspace or Delete: the caret stands where the removed stretch began.
    EXPECT_EQ(editStretch("abc", "ac", 1), (Stretch{1, 1, 0, true}));
    EXPECT_EQ(editStretch("a\r\nb", "ab", 1), (Stretch{1, 2, 0, true}));
    // A paste over a selection that the new text begins with still ends at the caret.
    EXPECT_EQ(editStretch("abcd", "abcXd", 4), (Stretch{3, 0, 1, true}));
    // Nothing changed: the caret alone.
    EXPECT_EQ(editStretch("abc", "abc", 2), (Stretch{2, 0, 0, true}));
}

TEST(EditStretch, AReplacedSelectionIsTheStretchBetweenCommonStartAndEnd)
{
    EXPECT_EQ(editStretch("abcd", "axd", 2), (Stretch{1, 2, 1, false}));
    EXPECT_EQ(editStretch("abc", "axc", 2), (Stretch{1, 1, 1, false})); // same length
    EXPECT_EQ(editStretch("abcd", "aXYZd", 4), (Stretch{1, 2, 3, false}));
    // A caret that is not at the stretch's end.
    EXPECT_EQ(editStretch("abc", "abxc", 0), (Stretch{2, 0, 1, false}));
}

TEST(CommonStretch, NeverSplitsALineBreakOrASurrogatePair)
{
    // The common start "a\r" would end between "\r" and "\n" of the first text.
    EXPECT_EQ(commonStretch("a\r\nb", "a\rc"), (Stretch{1, 3, 2, false}));
    // U+1F600 and U+1F601 share their high surrogate.
    EXPECT_EQ(commonStretch(Emoji, QString::fromUtf8("\xF0\x9F\x98\x81")), (Stretch{0, 2, 2, false}));
    // U+1F600 and U+1FA00 share their low surrogate.
    EXPECT_EQ(commonStretch("x" + Emoji, "x" + QString::fromUtf8("\xF0\x9F\xA8\x80")), (Stretch{1, 2, 2, false}));
    // A common end that would start with the "\n" of a break.
    EXPECT_EQ(commonStretch("a\r\n", "ab\n"), (Stretch{1, 2, 2, false}));
}

TEST(EditStretch, RandomEditsAreRecoveredExactlyAndWhole)
{
    // Emojis that share a high or a low surrogate with U+1F600, and lone "\r" and "\n" as a file
    // with mixed line breaks gives them.
    const QStringList pieces = {
        "a",  "b",  "\r\n", Emoji, QString::fromUtf8("\xF0\x9F\x98\x81"), QString::fromUtf8("\xF0\x9F\xA8\x80"),
        "\r", "\n", " ",    "ab"};
    auto plainBreaks = [](const QString &t) {
        return t.count('\r') == t.count("\r\n") && t.count('\n') == t.count("\r\n");
    };
    QRandomGenerator rng(20261207);
    for (int round = 0; round < 20000; ++round) {
        const auto [before, inserted, after, from, to] = randomEdit(rng, pieces, 8, 3);
        const qint32 caret = from + static_cast<qint32>(inserted.size());
        const Stretch s = editStretch(before, after, caret);
        SCOPED_TRACE(before.toStdString() + " -> " + after.toStdString());
        ASSERT_EQ(before.left(s.start) + after.mid(s.start, s.inserted) + before.mid(s.start + s.removed), after);
        ASSERT_EQ(before.size() - s.removed, after.size() - s.inserted);
        EXPECT_FALSE(splitsACharacter(before, s.start) || splitsACharacter(after, s.start) ||
                     splitsACharacter(before, s.start + s.removed) || splitsACharacter(after, s.start + s.inserted));
        // An edit that is a plain insertion or removal is found where it was made.
        if ((from == to || inserted.isEmpty()) && plainBreaks(before) && plainBreaks(after)) {
            EXPECT_TRUE(s.atCaret);
            EXPECT_EQ(s.start, from);
        }
    }
}

TEST(ChangeStretch, AgreesWithTheWholeTextsStretchOnLongRepetitiveTexts)
{
    // Few distinct pieces, so that the stretch often runs far beyond the edit, past the first
    // window of text read around it; the caret sometimes elsewhere than after the edit.
    const QStringList pieces = {"a", "a", "b", "\r\n", "\r", "\n", Emoji};
    QRandomGenerator rng(20261208);
    for (int round = 0; round < 3000; ++round) {
        const auto [before, inserted, after, from, to] = randomEdit(rng, pieces, 120, 4);
        const qint32 caret = rng.bounded(4) == 0 ? rng.bounded(int(after.size()) + 1) : from + qint32(inserted.size());
        SCOPED_TRACE(QString("%1 -> %2, caret %3").arg(before, after).arg(caret).toStdString());
        QString removedOut, insertedOut;
        int reads = 0;
        const Stretch s = changeStretch(
            before.mid(from, to - from), inserted, from, caret, qint32(after.size()),
            [&](qint32 at, qint32 length) {
                ++reads;
                EXPECT_GE(at, 0);
                EXPECT_LE(at + length, after.size());
                return after.mid(at, length);
            },
            removedOut, insertedOut);
        ASSERT_EQ(s, editStretch(before, after, caret));
        EXPECT_EQ(removedOut, before.mid(s.start, s.removed));
        EXPECT_EQ(insertedOut, after.mid(s.start, s.inserted));
        ASSERT_GT(reads, 0);
    }
}
