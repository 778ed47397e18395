#include "testenv.h"

#include <QApplication>
#include <gtest/gtest.h>

// The editor element as the logic sees it: "\r\n" breaks, UTF-16 positions, one synchronous
// notification per change.
class EditorTest : public FormTest {
protected:
    QtEditor &e() { return editorAt(0); }
    int changes = 0;
    void count() { e().setChangeHandler([this] { ++changes; }); }
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
