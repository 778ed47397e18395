// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "oracles.h"
#include "platform/window.h"
#include "search/textsearch.h"
#include "testenv.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

TEST(SearchText, FindsWithoutRegardToCase)
{
    EXPECT_EQ(searchText(QStringLiteral("xABCy"), QStringLiteral("abc"), 1), 2);
    EXPECT_EQ(searchText(QStringLiteral("xabcy"), QStringLiteral("ABC"), 1), 2);
    EXPECT_EQ(searchText(QStringLiteral("xABCy"), QStringLiteral("abd"), 1), 0);
    // Letters beyond ASCII fold too.
    EXPECT_EQ(searchText(QStringLiteral("Le CAFÉ"), QStringLiteral("café"), 1), 4);
    EXPECT_EQ(searchText(QStringLiteral("école"), QStringLiteral("ÉCOLE"), 1), 1);
    EXPECT_EQ(searchText(QStringLiteral("straße"), QStringLiteral("STRASSE"), 1), 0); // no expansion
}

TEST(SearchText, StartsAtTheGivenPositionAndNeverOverlaps)
{
    const QString text = QStringLiteral("aaaa");
    EXPECT_EQ(searchText(text, QStringLiteral("aa"), 1), 1);
    EXPECT_EQ(searchText(text, QStringLiteral("aa"), 2), 2);
    EXPECT_EQ(searchText(text, QStringLiteral("aa"), 3), 3);
    EXPECT_EQ(searchText(text, QStringLiteral("aa"), 4), 0);
    // At the last character, and beyond the end.
    EXPECT_EQ(searchText(text, QStringLiteral("a"), 4), 4);
    EXPECT_EQ(searchText(text, QStringLiteral("a"), 5), 0);
    EXPECT_EQ(searchText(text, QStringLiteral("a"), 1000), 0);
}

TEST(SearchText, LineBreaksCountAsTwoCharacters)
{
    const QString text = QStringLiteral("one\r\nTwo\r\nthree");
    EXPECT_EQ(searchText(text, QStringLiteral("two"), 1), 6);
    EXPECT_EQ(searchText(text, QStringLiteral("o\r\nt"), 1), 8);
    EXPECT_EQ(searchText(text, QStringLiteral("e\r\nt"), 1), 3);
    EXPECT_EQ(searchText(text, QStringLiteral("e\nt"), 1), 0);
}

TEST(SearchText, EmptyTextOrSearchFindsNothing)
{
    EXPECT_EQ(searchText(QString(), QStringLiteral("a"), 1), 0);
    EXPECT_EQ(searchText(QStringLiteral("abc"), QString(), 1), 0);
    EXPECT_THROW(searchText(QStringLiteral("abc"), QStringLiteral("a"), 0), Failure);
}

class FindTest : public FormTest {
protected:
    int findNextColor() { return app->window.buttonForeColor(Button::PushButton13); }
    void find(const QString &answer)
    {
        prompts.inputAnswers.push_back(answer);
        form().PushButton3_Click();
    }
    std::vector<ShownPrompt> messages() { return prompts.ofKind(ShownPrompt::MsgBox); }
    static QString noMoreText(const QString &s)
    {
        return QStringLiteral("No more match found for the string '") + s +
               QStringLiteral("'\r\nDo you want to start search from the beginning?");
    }
    const QString useFindFirst = QStringLiteral("Please use the 'Find' feature first and then use this feature.");
};

TEST_F(FindTest, CancelledFindShowsNothingAndLeavesFindNextUnavailable)
{
    EXPECT_EQ(findNextColor(), FindNextGrey); // from start-up
    current().setText(QStringLiteral("abc"));
    find(QStringLiteral("b"));
    ASSERT_EQ(findNextColor(), 0);
    prompts.clear();
    find(QString());
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].kind, ShownPrompt::InputBox);
    EXPECT_EQ(prompts.shown[0].text, "Enter string to search: ");
    EXPECT_EQ(prompts.shown[0].title, "");
    EXPECT_EQ(findNextColor(), FindNextGrey);
    EXPECT_EQ(form().FindText, "");
    EXPECT_EQ(form().FindNextStart, -1);
    form().PushButton13_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, useFindFirst);
    EXPECT_EQ(messages()[0].style, MsgStyle::OkOnly);
    EXPECT_EQ(messages()[0].title, "");
}

TEST_F(FindTest, NoMatchQuotesTheAnswer)
{
    current().setText(QStringLiteral("hello world"));
    find(QStringLiteral("wörld"));
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, "No match is found for the string 'wörld'");
    EXPECT_EQ(messages()[0].style, MsgStyle::OkOnly);
    EXPECT_EQ(messages()[0].title, "");
    EXPECT_EQ(findNextColor(), FindNextGrey);
    EXPECT_EQ(form().FindText, "");
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(FindTest, FindSelectsTheFirstMatchAcrossLineBreaks)
{
    current().setText(QStringLiteral("one\r\nxABCy"));
    find(QStringLiteral("abc"));
    EXPECT_EQ(current().selStart(), 6);
    EXPECT_EQ(current().selLength(), 3);
    EXPECT_EQ(current().selText(), "ABC");
    EXPECT_TRUE(current().hasFocus());
    EXPECT_EQ(findNextColor(), 0);
    EXPECT_EQ(form().FindText, "abc");
    EXPECT_EQ(form().FindNextStart, 10);
    EXPECT_TRUE(messages().empty());
}

TEST_F(FindTest, StepsThroughMatchesThenRestartNoLeavesItGrey)
{
    current().setText(QStringLiteral("aaaa"));
    find(QStringLiteral("aa"));
    EXPECT_EQ(current().selStart(), 0);
    form().PushButton13_Click();
    EXPECT_EQ(current().selStart(), 2);
    EXPECT_EQ(current().selLength(), 2);
    EXPECT_EQ(form().FindNextStart, 5);
    EXPECT_TRUE(messages().empty());

    prompts.msgAnswers = {MsgResult::No};
    form().PushButton13_Click();
    ASSERT_EQ(messages().size(), 1u);
    EXPECT_EQ(messages()[0].text, noMoreText(QStringLiteral("aa")));
    EXPECT_EQ(messages()[0].style, MsgStyle::YesNo);
    EXPECT_EQ(messages()[0].title, "Restart Search");
    EXPECT_EQ(findNextColor(), FindNextGrey);
    EXPECT_EQ(current().selStart(), 2); // the last match stays selected

    form().PushButton13_Click();
    ASSERT_EQ(messages().size(), 2u);
    EXPECT_EQ(messages()[1].text, useFindFirst);
}

TEST_F(FindTest, RestartYesSelectsTheFirstMatchAgain)
{
    current().setText(QStringLiteral("abc x ABC"));
    find(QStringLiteral("abc"));
    form().PushButton13_Click();
    EXPECT_EQ(current().selStart(), 6);
    prompts.msgAnswers = {MsgResult::Yes};
    form().PushButton13_Click();
    EXPECT_EQ(messages().size(), 1u);
    EXPECT_EQ(current().selStart(), 0);
    EXPECT_EQ(current().selLength(), 3);
    EXPECT_EQ(findNextColor(), 0);
    EXPECT_EQ(form().FindNextStart, 4);
    EXPECT_TRUE(prompts.msgAnswers.empty());
}

TEST_F(FindTest, TextWithoutTheSearchTextAsksAgainAfterEveryYes)
{
    current().setText(QStringLiteral("abc"));
    find(QStringLiteral("abc"));
    current().setText(QStringLiteral("xyz"));
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Yes, MsgResult::No};
    form().PushButton13_Click();
    ASSERT_EQ(prompts.shown.size(), 4u);
    for (const ShownPrompt &box : prompts.shown) {
        EXPECT_EQ(box.text, noMoreText(QStringLiteral("abc")));
        EXPECT_EQ(box.title, "Restart Search");
    }
    EXPECT_EQ(findNextColor(), FindNextGrey);
    EXPECT_EQ(form().FindNextStart, 1);
    EXPECT_EQ(form().FindText, "abc");
}

TEST_F(FindTest, EndlessYesDoesNotDeepenTheStack)
{
    // Nested calls this deep would overflow the stack, all the more under the sanitizers.
    current().setText(QStringLiteral("nothing here"));
    form().FindText = QStringLiteral("abc");
    form().FindNextStart = 1;
    app->window.setButtonForeColor(Button::PushButton13, 0);
    const int rounds = 50000;
    prompts.msgAnswers.assign(rounds, MsgResult::Yes);
    prompts.msgAnswers.push_back(MsgResult::No);
    form().PushButton13_Click();
    EXPECT_EQ(prompts.shown.size(), static_cast<size_t>(rounds) + 1);
    EXPECT_TRUE(prompts.msgAnswers.empty());
}

TEST_F(FindTest, TabChangeContinuesInTheNewDocumentAtTheStoredPosition)
{
    current().setText(QStringLiteral("abc 123"));
    find(QStringLiteral("abc"));
    ASSERT_EQ(form().FindNextStart, 4);
    form().PushButton2_Click();
    ASSERT_EQ(form().currentEditorIndex(), 1);
    current().setText(QStringLiteral("abc abc"));
    form().PushButton13_Click();
    EXPECT_EQ(current().selStart(), 4);
    EXPECT_EQ(current().selLength(), 3);
    // The match before the stored position comes only with the restart.
    prompts.msgAnswers = {MsgResult::Yes};
    form().PushButton13_Click();
    EXPECT_EQ(current().selStart(), 0);
    EXPECT_EQ(editorAt(0).selStart(), 0);
    EXPECT_EQ(editorAt(0).selLength(), 3);
    EXPECT_EQ(messages().size(), 1u);
}

TEST_F(FindTest, TheBufferSearchFindsWhatTheWholeTextSearchFindsAcrossItsBlocks)
{
    // Text of more than one block of the buffer, with letters beyond ASCII, surrogate pairs and
    // line breaks; the searched word is put at each position around the first block's end in turn.
    const QString filler = QString::fromUtf8("é😀ab cd\r\n");
    const QString text = filler.repeated(((1 << 20) + 4096) / int(filler.toUtf8().size()));
    const int near = int(qint64(text.size()) * (1 << 20) / text.toUtf8().size()); // about the first block's end
    const QString inserted = QString::fromUtf8("école😀");
    const QString word = QString::fromUtf8("ÉCOLE😀");
    current().setText(text);
    for (int at = near - 8; at <= near + 8; ++at) {
        if (text[at].isLowSurrogate() || (text[at] == '\n' && text[at - 1] == '\r'))
            continue; // the editor inserts at whole characters only
        SCOPED_TRACE(at);
        current().setSelStart(at);
        current().setSelText(inserted);
        if (at == near) { // the whole-text search agrees with where the word was put
            ASSERT_EQ(searchText(current().text(), word, 1), at + 1);
        }
        for (int start : {1, at - 1, at + 1, at + 2})
            ASSERT_EQ(searchText(current(), word, start), start <= at + 1 ? at + 1 : 0) << "from " << start;
        current().setSelStart(at);
        current().setSelLength(int(inserted.size()));
        current().setSelText(QString());
    }
}

// The search through the buffer's bytes finds exactly what the whole-text comparison finds,
// also where case folding joins characters of different lengths (K and the Kelvin sign, s and
// the long s, letters beyond the first plane) and around bytes that are no UTF-8.
TEST_F(FindTest, TheByteSearchAgreesWithTheTextSearchOnFoldedLetters)
{
    const QStringList pieces = {QStringLiteral("k"),
                                QStringLiteral("K"),
                                QString(QChar(0x212A)),
                                QStringLiteral("s"),
                                QStringLiteral("S"),
                                QString(QChar(0x17F)),
                                QStringLiteral("é"),
                                QStringLiteral("É"),
                                QStringLiteral("ß"),
                                QString(QChar(0x1E9E)),
                                QString::fromUcs4(U"\U00010400"),
                                QString::fromUcs4(U"\U00010428"),
                                QStringLiteral("\r\n"),
                                QStringLiteral("İı"),
                                QStringLiteral("i"),
                                QStringLiteral("a")};
    QRandomGenerator rng(5);
    for (int round = 0; round < 60; ++round) {
        QByteArray bytes;
        for (int i = 0; i < 40; ++i)
            bytes += rng.bounded(12) == 0 ? QByteArray("\xE2\x82") : pieces[rng.bounded(pieces.size())].toUtf8();
        current().loadUtf8(bytes.size(), [&](const Editor::Append &append) { append(bytes); });
        const QString text = current().text();
        for (int k = 0; k < 20; ++k) {
            const int from = rng.bounded(int(text.size()));
            QString find = text.mid(from, rng.bounded(1, 5));
            for (QChar &c : find) {
                if (rng.bounded(2))
                    c = rng.bounded(2) ? c.toUpper() : c.toLower();
            }
            const int start = rng.bounded(1, int(text.size()) + 1);
            ASSERT_EQ(searchText(current(), find, start), searchText(text, find, start))
                << bytes.toHex().constData() << " find " << find.toStdString() << " from " << start;
        }
    }
}
