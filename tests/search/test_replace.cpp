// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "fakereplacedialog.h"
#include "platform/rawutf8.h"
#include "search/searcher.h"
#include "testenv.h"
#include "undo/piecechange.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The model: the text as UTF-16 (kept bytes as U+DC80..U+DCFF), walked character by character
// ("\r\n" and a surrogate pair are one); at each place the longest match that starts there, as
// `matchAt` measures it (-1: none), is replaced, and an empty match is followed by the character
// after it.
QString modelReplaceAll(const QString &text, const std::function<qsizetype(qsizetype)> &matchAt,
                        const std::function<QString(qsizetype, qsizetype)> &with, int &count)
{
    QString out;
    count = 0;
    qsizetype pos = 0;
    while (pos <= text.size()) {
        const qsizetype n = matchAt(pos);
        if (n >= 0) {
            out += with(pos, n);
            ++count;
            pos += n;
            if (n > 0)
                continue;
        }
        if (pos == text.size())
            break;
        qsizetype step = 1;
        if ((text[pos] == QLatin1Char('\r') && pos + 1 < text.size() && text[pos + 1] == QLatin1Char('\n')) ||
            (text[pos].isHighSurrogate() && pos + 1 < text.size() && text[pos + 1].isLowSurrogate()))
            step = 2;
        out += text.mid(pos, step);
        pos += step;
    }
    return out;
}

class ReplaceTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form().replaceDialog = &dialog;
    }
    void load(const QByteArray &bytes)
    {
        current().loadUtf8(bytes.size(), [&](const Editor::Append &append) { append(bytes); });
    }
    void replaceAll(const QString &what, const QString &with, bool matchCase = false, bool wholeWord = false,
                    bool regex = false)
    {
        dialog.values = ReplaceFields{what, with, matchCase, wholeWord, regex};
        form().replaceAll();
    }
    std::vector<ShownPrompt> messages() { return prompts.ofKind(ShownPrompt::MsgBox); }
    FakeReplaceDialog dialog;
};

const QString Kept = QString(QChar(0xDC80 + 0xE9)); // the byte 0xE9 that is no UTF-8 here

} // namespace

TEST_F(ReplaceTest, ReplaceAllOfALiteralAgreesWithTheModelOnHardTexts)
{
    // Line breaks, kept bytes, surrogate pairs, touching matches and letters that fold.
    const QString text = QStringLiteral("aaaa\r\nÉté \U0001F600été") + Kept + QStringLiteral("ÉTÉ\r\nxété\U0001F600");
    struct Case {
        QString what, with;
        bool matchCase, wholeWord;
    };
    const Case cases[] = {
        {QStringLiteral("aa"), QStringLiteral("b"), true, false},
        {QStringLiteral("été"), QStringLiteral("\U0001F601"), false, false},
        {QStringLiteral("été"), QStringLiteral("-"), true, false},
        {QStringLiteral("été"), QStringLiteral("W"), false, true},
        {QStringLiteral("\r\n"), QStringLiteral("|"), true, false},
        {QStringLiteral("\U0001F600"), QString(), false, false},
        {Kept, QStringLiteral("k"), false, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        load(RawUtf8::fromText(text));
        const auto word = [&](qsizetype at) {
            return at >= 0 && at < text.size() && (text[at].isLetterOrNumber() || text[at] == QLatin1Char('_'));
        };
        int expectedCount = 0;
        const QString expected = modelReplaceAll(
            text,
            [&](qsizetype at) -> qsizetype {
                const QStringView piece = QStringView(text).mid(at, c.what.size());
                if (piece.compare(c.what, c.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive) != 0)
                    return -1;
                if (c.wholeWord && (word(at - 1) || word(at + c.what.size())))
                    return -1;
                return c.what.size();
            },
            [&](qsizetype, qsizetype) { return c.with; }, expectedCount);
        replaceAll(c.what, c.with, c.matchCase, c.wholeWord);
        EXPECT_EQ(current().utf8(), RawUtf8::fromText(expected));
        EXPECT_EQ(dialog.status(), expectedCount == 1   ? QStringLiteral("Replaced 1 match.")
                                   : expectedCount == 0 ? QStringLiteral("No match was found; nothing was replaced.")
                                                        : QStringLiteral("Replaced %1 matches.").arg(expectedCount));
    }
}

TEST_F(ReplaceTest, ReplaceAllOfARegularExpressionAgreesWithTheModel)
{
    const QString text = QStringLiteral("axxb\r\n\U0001F600x\r\nÉCOLE école\r\n\r\nend");
    struct Case {
        QString what, with, expectedWith;
    };
    // "x*" matches the empty string everywhere: one replacement per place, never a loop.
    const Case cases[] = {
        {QStringLiteral("x*"), QStringLiteral("-"), QStringLiteral("-")},
        {QStringLiteral("^"), QStringLiteral("> "), QStringLiteral("> ")},
        {QStringLiteral("$"), QStringLiteral(";"), QStringLiteral(";")},
        {QStringLiteral("(é)(cole)"), QStringLiteral("\\2\\1\\0\\t\\\\"), QStringLiteral("\\2\\1\\0\t\\\\")},
        {QStringLiteral("o(l)?"), QStringLiteral("[\\1]\\n"), QStringLiteral("[\\1]\r\n")},
        // The only place before a "\n" lies inside "\r\n": no match there.
        {QStringLiteral("(?=\\n)"), QStringLiteral("!"), QStringLiteral("!")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what.toStdString());
        load(RawUtf8::fromText(text));
        const QRegularExpression re(c.what, QRegularExpression::CaseInsensitiveOption |
                                                QRegularExpression::MultilineOption |
                                                QRegularExpression::UseUnicodePropertiesOption);
        QRegularExpressionMatch m;
        int expectedCount = 0;
        const QString expected = modelReplaceAll(
            text,
            [&](qsizetype at) -> qsizetype {
                // "$" and "^" by lines that end in "\r\n".
                if (c.what == QLatin1String("$"))
                    return at == text.size() || text[at] == QLatin1Char('\r') ? 0 : -1;
                if (c.what == QLatin1String("^"))
                    return at == 0 || text[at - 1] == QLatin1Char('\n') ? 0 : -1;
                m = re.match(text, at, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
                return m.hasMatch() ? m.capturedLength() : -1;
            },
            [&](qsizetype, qsizetype) {
                QString with = c.expectedWith;
                for (int g = 9; g >= 0; --g)
                    with.replace(QStringLiteral("\\%1").arg(g), g <= m.lastCapturedIndex() ? m.captured(g) : QString());
                return with.replace(QLatin1String("\\\\"), QLatin1String("\\"));
            },
            expectedCount);
        replaceAll(c.what, c.with, false, false, true);
        EXPECT_EQ(current().text(), expected);
        EXPECT_EQ(dialog.status(), expectedCount ? QStringLiteral("Replaced %1 matches.").arg(expectedCount)
                                                 : QStringLiteral("No match was found; nothing was replaced."));
    }
}

TEST_F(ReplaceTest, UndoAndRedoOfReplaceAllGiveBackTheExactBytesFromARecordOfPieces)
{
    // Kept bytes, a cut-off sequence and CRLF survive both ways.
    const QByteArray before = QByteArray("ab\xE9 cab\r\nAB\xF0\x9F\x98\x80"
                                         "ab\xC3") +
                              QByteArray("\r\nlast ab", 9);
    load(before);
    current().setSelStart(3);
    replaceAll(QStringLiteral("ab"), QStringLiteral("\U0001F600\U0001F600"));
    const QByteArray after = current().utf8();
    EXPECT_EQ(after, QByteArray(before)
                         .replace("ab", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80")
                         .replace("AB", "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"));
    ASSERT_EQ(form().undo.Undos.size(), 2u);
    const UndoElement &record = form().undo.Undos.back();
    ASSERT_TRUE(record.pieces);
    EXPECT_TRUE(record.removed.isEmpty() && record.inserted.isEmpty());
    EXPECT_EQ(record.pieces->count(), 5);
    EXPECT_LE(record.pieces->bytesHeld(), 10 + 5 * 8 + 5 * 3); // the pieces, not the text between them

    form().PushButton6_Click();
    EXPECT_EQ(current().utf8(), before);
    EXPECT_EQ(current().textLength(), int(RawUtf8::units(before)));
    form().PushButton9_Click();
    EXPECT_EQ(current().utf8(), after);
    form().PushButton6_Click();
    EXPECT_EQ(current().utf8(), before);
    EXPECT_TRUE(prompts.reports().empty());
    // Typing after it is one more record; undoing both gives back the original.
    type(current(), QStringLiteral("z"));
    form().PushButton6_Click();
    EXPECT_EQ(current().utf8(), before);
}

TEST_F(ReplaceTest, ReplaceReplacesOnlyASelectedMatchThenSelectsTheNext)
{
    current().setText(QStringLiteral("one two one two"));
    dialog.values = ReplaceFields{QStringLiteral("ONE"), QStringLiteral("1"), false, false, false};
    current().setSelStart(1); // not on a match: Replace finds one first
    form().replaceNext();
    EXPECT_EQ(current().text(), QStringLiteral("one two one two"));
    EXPECT_EQ(current().selStart(), 8);
    EXPECT_EQ(current().selLength(), 3);
    prompts.msgAnswers = {MsgResult::Yes};
    form().replaceNext(); // replaces, finds no more after it, starts again at the top
    EXPECT_EQ(current().text(), QStringLiteral("one two 1 two"));
    EXPECT_EQ(current().selStart(), 0);
    EXPECT_EQ(current().selLength(), 3);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].title, QStringLiteral("Restart Search"));
    prompts.msgAnswers = {MsgResult::Yes};
    form().replaceNext();
    EXPECT_EQ(current().text(), QStringLiteral("1 two 1 two"));
    ASSERT_EQ(messages().size(), 3u);
    EXPECT_EQ(messages()[2].text, QStringLiteral("No match is found for the string 'ONE'"));
    // Each replacement is an edit of its own.
    form().PushButton6_Click();
    EXPECT_EQ(current().text(), QStringLiteral("one two 1 two"));
}

TEST_F(ReplaceTest, BadInputIsShownInTheDialog)
{
    current().setText(QStringLiteral("abc"));
    replaceAll(QString(), QStringLiteral("x"));
    EXPECT_EQ(dialog.status(), QStringLiteral("Type the text to find in \"Find what:\"."));
    replaceAll(QStringLiteral("a(b"), QStringLiteral("x"), false, false, true);
    EXPECT_TRUE(dialog.status().startsWith(QStringLiteral("The regular expression is not valid: missing closing")))
        << dialog.status().toStdString();
    form().replaceFindNext();
    EXPECT_TRUE(dialog.status().startsWith(QStringLiteral("The regular expression is not valid")));
    EXPECT_EQ(current().text(), QStringLiteral("abc"));
    EXPECT_TRUE(prompts.shown.empty());
    // Nothing to find from the start: no question of starting again, only the notice.
    dialog.values = ReplaceFields{QStringLiteral("zzz"), QString(), false, false, false};
    current().setSelStart(0);
    form().replaceFindNext();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].style, MsgStyle::OkOnly);
    EXPECT_EQ(messages()[0].text, QStringLiteral("No match is found for the string 'zzz'"));
}

TEST_F(ReplaceTest, ARegularExpressionNeverMatchesInsideACharacterOrAKeptByte)
{
    load(QByteArray("\xC3\xA9\xE9\xF0\x9F\x98\x80\r\nz"));
    replaceAll(QStringLiteral("."), QStringLiteral("<\\0>"), false, false, true);
    EXPECT_EQ(current().utf8(), QByteArray("<\xC3\xA9>\xE9<\xF0\x9F\x98\x80>\r\n<z>"));
    load(QByteArray("\xC3\xA9\xE9\xF0\x9F\x98\x80\r\nz"));
    replaceAll(QStringLiteral("\\x{80}|\\x{A9}"), QStringLiteral("!"), false, false, true);
    EXPECT_EQ(dialog.status(), QStringLiteral("No match was found; nothing was replaced."));
}

TEST_F(ReplaceTest, F3AndShiftF3RepeatTheLastSearchAndAskToStartAgainAtTheEnds)
{
    current().setText(QStringLiteral("Cat cat CAT"));
    // Without a search F3 is Find Next.
    form().findAgain(false);
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "Please use the 'Find' feature first and then use this feature.");
    prompts.clear();

    dialog.values = ReplaceFields{QStringLiteral("cat"), QString(), true, false, false};
    current().setSelStart(0);
    form().replaceFindNext();
    EXPECT_EQ(current().selStart(), 4);
    prompts.msgAnswers = {MsgResult::No, MsgResult::Yes};
    form().findAgain(true); // nothing before it with Match case: No
    EXPECT_EQ(current().selStart(), 4);
    form().findAgain(true); // Yes: from the end
    ASSERT_EQ(messages().size(), 2u);
    for (const ShownPrompt &m : messages()) {
        EXPECT_EQ(m.text, QStringLiteral("No more match found for the string 'cat'\r\nDo you want to start search "
                                         "from the beginning?"));
        EXPECT_EQ(m.title, QStringLiteral("Restart Search"));
        EXPECT_EQ(m.style, MsgStyle::YesNo);
    }
    EXPECT_EQ(current().selStart(), 4); // the only match, from the end
    prompts.clear();

    // Find's search: any case, and Shift+F3 goes back from the selection.
    prompts.inputAnswers = {QStringLiteral("cat")};
    form().PushButton3_Click();
    form().findAgain(false);
    form().findAgain(false);
    EXPECT_EQ(current().selStart(), 8);
    form().findAgain(true);
    EXPECT_EQ(current().selStart(), 4);
    form().findAgain(false); // Find Next goes on from there
    EXPECT_EQ(current().selStart(), 8);
    EXPECT_TRUE(messages().empty());
}

TEST_F(ReplaceTest, CtrlHOpensTheDialogWithTheSelectedLineAndF3SearchesAgain)
{
    current().setText(QStringLiteral("one two\r\ntwo"));
    current().setSelStart(4);
    current().setSelLength(3);
    press(current(), Qt::Key_H, Qt::ControlModifier);
    EXPECT_EQ(dialog.opened, 1);
    EXPECT_EQ(dialog.values.findWhat, QStringLiteral("two"));
    EXPECT_EQ(current().text(), QStringLiteral("one two\r\ntwo")); // the editor did not take the key
    form().replaceFindNext();
    EXPECT_EQ(current().selStart(), 9);
    press(current(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(current().selStart(), 4);
    // A selection over two lines is no search text: the last search is offered.
    current().setSelStart(0);
    current().setSelLength(10);
    form().showReplace();
    EXPECT_EQ(dialog.values.findWhat, QStringLiteral("two"));
}
