// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenv.h"

#include "platform/rawutf8.h"

#include <QApplication>
#include <QClipboard>
#include <QRandomGenerator>
#include <gtest/gtest.h>

// The editor element as the logic sees it: "\r\n" breaks, UTF-16 positions, one synchronous
// notification per change.
class EditorTest : public FormTest {
protected:
    QtEditor &e() { return editorAt(0); }
    int changes = 0;
    void count()
    {
        e().setChangeHandler([this] { ++changes; });
    }
};

TEST_F(EditorTest, TextKeepsLineBreaksAndNulCharacters)
{
    count();
    const QString text = QStringLiteral("one\r\ntwo\r\n") + QChar(0) + QStringLiteral("three");
    e().setText(text);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(e().text(), text);
    EXPECT_EQ(e().textLength(), text.size());
    EXPECT_EQ(e().selStart(), 0);
}

TEST_F(EditorTest, PositionsCountUtf16CodeUnits)
{
    // é is two UTF-8 bytes, the emoji four bytes and two UTF-16 units.
    const QString text = QStringLiteral("aé\r\n") + QString::fromUtf8("\xF0\x9F\x98\x80") + QStringLiteral("zé");
    e().setText(text);
    ASSERT_EQ(e().textLength(), text.size());
    e().setSelStart(4);
    EXPECT_EQ(e().selStart(), 4);
    e().setSelLength(3);
    EXPECT_EQ(e().selLength(), 3);
    EXPECT_EQ(e().selText(), text.mid(4, 3));
    // Inside a surrogate pair the position steps back to the pair's start.
    e().setSelStart(5);
    EXPECT_EQ(e().selStart(), 4);
    // Between "\r" and "\n" the caret steps back before the break.
    e().setSelStart(3);
    EXPECT_EQ(e().selStart(), 2);
    e().setSelStart(text.size() + 10);
    EXPECT_EQ(e().selStart(), text.size());
}

TEST_F(EditorTest, SelTextInsertsRemovesAndNotifiesOnce)
{
    e().setText(QStringLiteral("abcdef"));
    count();
    e().setSelStart(2);
    e().setSelLength(0);
    e().setSelText(QStringLiteral("XY"));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(e().text(), "abXYcdef");
    EXPECT_EQ(e().selStart(), 4);
    e().setSelStart(0);
    e().setSelLength(4);
    e().setSelText(QString());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(e().text(), "cdef");
    // Replacing a selection is one change.
    e().setSelStart(1);
    e().setSelLength(2);
    e().setSelText(QStringLiteral("Z"));
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(e().text(), "cZf");
}

TEST_F(EditorTest, TypingNotifiesOncePerKeyAndEnterInsertsCrLf)
{
    count();
    type(e(), QStringLiteral("ab"));
    EXPECT_EQ(changes, 2);
    press(e(), Qt::Key_Return);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(e().text(), "ab\r\n");
    EXPECT_EQ(e().selStart(), 4);
    press(e(), Qt::Key_Backspace);
    EXPECT_EQ(e().text(), "ab");
    EXPECT_EQ(changes, 4);
    // A typed character over a selection is one change.
    e().setSelStart(0);
    e().setSelLength(2);
    type(e(), QStringLiteral("x"));
    EXPECT_EQ(e().text(), "x");
    EXPECT_EQ(changes, 5);
}

TEST_F(EditorTest, OwnUndoAndSelectAllKeysDoNothing)
{
    type(e(), QStringLiteral("abc"));
    press(e(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e().text(), "abc");
    press(e(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(e().selLength(), 0);
    press(e(), Qt::Key_D, Qt::ControlModifier); // would duplicate the line
    EXPECT_EQ(e().text(), "abc");
}

TEST_F(EditorTest, NewElementTakesElementZerosSizeAndStartsHidden)
{
    editorAt(0).setWidth(5000);
    editorAt(0).setHeight(3000);
    form().loadEditor(1);
    QtEditor &one = editorAt(1);
    EXPECT_FALSE(one.isVisible());
    EXPECT_EQ(one.left(), 120);
    EXPECT_EQ(one.top(), 480);
    EXPECT_EQ(one.width(), 5000);
    EXPECT_EQ(one.height(), 3000);
    EXPECT_EQ(one.font().family(), editorAt(0).font().family());
}

// Bytes that are no UTF-8 stay in the buffer as they are, one unit each, and every change
// around them says exactly how the text changed, even where a removal joins them into a character.
TEST_F(EditorTest, BrokenBytesStayAndChangesAroundThemAreExact)
{
    const QList<QByteArray> pieces = {
        "a",    "\r\n", "\xC3\xB6",     "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xC3", "\xE2\x82", "\xF0\x9F\x98",
        "\x80", "\xB6", "\xED\xA0\x80", "\xC0\xAF",     "\xEF\xBF\xBE",     "\xFF"};
    QRandomGenerator rng(7);
    QString before;
    bool editing = false;
    e().setChangeHandler([&] {
        const TextChange &c = e().lastChange();
        ASSERT_EQ(c.known, editing);
        if (!editing)
            return;
        EXPECT_EQ(before.mid(c.start, c.removed.size()), c.removed);
        EXPECT_EQ(QString(before).replace(c.start, c.removed.size(), c.inserted), e().text());
    });
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes;
        for (int i = 0, n = rng.bounded(1, 12); i < n; ++i)
            bytes += pieces[rng.bounded(pieces.size())];
        e().loadUtf8(bytes.size(), [&](const Editor::Append &append) { append(bytes); });
        QString text = e().text();
        ASSERT_EQ(RawUtf8::fromText(text), bytes);
        ASSERT_EQ(e().textLength(), text.size()) << bytes.toHex().constData();
        ASSERT_EQ(RawUtf8::units(bytes), text.size());
        for (int p = 0; p <= text.size(); ++p) {
            e().setSelStart(p);
            const bool inPair = p > 0 && p < text.size() && text[p - 1].isHighSurrogate() && text[p].isLowSurrogate();
            const bool inBreak = p > 0 && p < text.size() && text[p - 1] == '\r' && text[p] == '\n';
            ASSERT_EQ(e().selStart(), inPair || inBreak ? p - 1 : p) << bytes.toHex().constData() << " at " << p;
        }
        // Type, paste over a selection or delete at a random place.
        for (int edit = 0; edit < 4; ++edit) {
            before = e().text();
            e().setSelStart(rng.bounded(before.size() + 1));
            e().setSelLength(rng.bounded(3));
            const QString typed = rng.bounded(3) == 0
                                      ? QString()
                                      : QString(rng.bounded(2) ? QStringLiteral("x") : QStringLiteral("\u00e9"));
            const QString selected = e().selText();
            const int at = e().selStart();
            const QByteArray old = e().utf8();
            editing = true;
            e().setSelText(typed);
            editing = false;
            const qsizetype head = RawUtf8::fromText(before.left(at)).size();
            EXPECT_EQ(e().utf8(), old.left(head) + typed.toUtf8() + old.mid(head + RawUtf8::fromText(selected).size()));
            ASSERT_FALSE(HasFailure()) << old.toHex().constData();
        }
    }
}

// Positions far into a long line of non-ASCII text, far from any position asked for before,
// agree with the text: after loading, after a paste and after edits before and after them.
TEST_F(EditorTest, PositionsInALongLineAgreeWithTheTextAfterEdits)
{
    QString model;
    for (int i = 0; model.size() < 80000; ++i)
        model += QStringLiteral("word%1 é€😀 ").arg(i);
    const QByteArray bytes = model.toUtf8();
    e().loadUtf8(bytes.size(), [&](const Editor::Append &append) { append(bytes); });
    QRandomGenerator rng(11);
    const auto check = [&] {
        ASSERT_EQ(e().textLength(), model.size());
        for (int k = 0; k < 40; ++k) {
            int p = rng.bounded(model.size() + 1);
            if (p > 0 && p < model.size() && model[p].isLowSurrogate())
                --p;
            e().setSelStart(p);
            ASSERT_EQ(e().selStart(), p);
            const int n = p + 9 < model.size() && model[p + 9].isLowSurrogate() ? 8 : 9;
            ASSERT_EQ(e().textRange(p, n), model.mid(p, n));
        }
    };
    check();
    for (int edit = 0; edit < 30; ++edit) {
        int p = rng.bounded(model.size() + 1);
        if (p > 0 && p < model.size() && model[p].isLowSurrogate())
            --p;
        const QString typed = edit == 10 ? model.left(40000) : QStringLiteral("ü😀");
        e().setSelStart(p);
        e().setSelText(typed);
        model.insert(p, typed);
        if (edit % 3 == 0) {
            e().setSelStart(p);
            e().setSelLength(5);
            model.remove(p, e().selLength());
            e().setSelText(QString());
        }
        check();
    }
    EXPECT_EQ(e().text(), model);
}

// Copy and paste within the program keep broken bytes; other programs get replacement characters.
TEST_F(EditorTest, CopyAndPasteKeepBrokenBytes)
{
    const QByteArray bytes = "a\xFF\xC3|\xE2\x82";
    e().loadUtf8(bytes.size(), [&](const Editor::Append &append) { append(bytes); });
    e().setFocus();
    e().setSelStart(0);
    e().setSelLength(e().textLength());
    press(e(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QString::fromUtf8(bytes));
    e().setSelStart(e().textLength());
    press(e(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e().utf8(), bytes + bytes);

    // Text that another program put there comes as it is.
    QApplication::clipboard()->setText(QStringLiteral("\u00e9"));
    e().setSelStart(0);
    press(e(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e().utf8(), "\xC3\xA9" + bytes + bytes);
}
