// SPDX-License-Identifier: GPL-3.0-or-later
#include "oracles.h"
#include "testenv.h"

#include <QApplication>
#include <gtest/gtest.h>

class UndoTest : public FormTest {
protected:
    ModUndos &history() { return form().undo; }
    // The texts the records of Undos stand for, oldest first.
    QStringList undoTexts()
    {
        QStringList out;
        for (size_t i = 0; i < history().Undos.size(); ++i)
            out << undoText(history(), current(), i);
        return out;
    }
    QStringList redoTexts()
    {
        QStringList out;
        for (size_t i = 0; i < history().Redos.size(); ++i)
            out << redoText(history(), current(), i);
        return out;
    }
    void undo() { form().PushButton6_Click(); }
    void redo() { form().PushButton9_Click(); }
    // Opens a document holding the text, without recording anything.
    QtEditor &openWith(const QByteArray &text)
    {
        form().OpenFile(env->writeFile(QStringLiteral("doc%1.txt").arg(form().EditorCount), text), false);
        return current();
    }
    void expectCaret(QtEditor &e, int start, int length = 0)
    {
        EXPECT_EQ(e.selStart(), start);
        EXPECT_EQ(e.selLength(), length);
    }
};

TEST_F(UndoTest, EachEditIsRecordedAndMarksTheDocumentOnce)
{
    EXPECT_TRUE(history().UndoRecording);
    form().PushButton2_Click(); // creating a document records nothing
    QtEditor &e = current();
    EXPECT_TRUE(history().Undos.empty());
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "Untitled2.txt"}));
    type(e, QStringLiteral("abc"));
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt", "Untitled2.txt*"}));
    EXPECT_EQ(e.tag(), "1|");
    EXPECT_EQ(form().UndoDocument, 1);
    // The first record is the text before the first edit.
    EXPECT_EQ(undoTexts(), QStringList({"", "a", "ab", "abc"}));
    const UndoElement &last = history().Undos.back();
    EXPECT_EQ(last.SelStart, 3);
    EXPECT_EQ(last.TextLen, 3);
}

TEST_F(UndoTest, UndoAndRedoATypedCharacter)
{
    QtEditor &e = current();
    type(e, QStringLiteral("ab"));
    undo();
    EXPECT_EQ(e.text(), "a");
    expectCaret(e, 1);
    EXPECT_EQ(redoTexts(), QStringList({"ab"}));
    EXPECT_TRUE(history().UndoRecording);
    redo();
    EXPECT_EQ(e.text(), "ab");
    expectCaret(e, 2);
    EXPECT_EQ(undoTexts(), QStringList({"", "a", "ab"}));
    EXPECT_TRUE(history().Redos.empty());
    // A new edit after an Undo drops what could have been redone.
    undo();
    type(e, QStringLiteral("c"));
    EXPECT_EQ(e.text(), "ac");
    EXPECT_TRUE(history().Redos.empty());
    EXPECT_EQ(undoTexts(), QStringList({"", "a", "ac"}));
    // The text changes of Undo and Redo are not recorded but do mark the document.
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt*"}));
    // A line break is one step both ways.
    type(e, QStringLiteral("\n"));
    ASSERT_EQ(e.text(), "ac\r\n");
    undo();
    EXPECT_EQ(e.text(), "ac");
    expectCaret(e, 2);
    redo();
    EXPECT_EQ(e.text(), "ac\r\n");
    expectCaret(e, 4);
}

TEST_F(UndoTest, UndoingARemovedLineBreakPutsTheCaretAfterIt)
{
    QtEditor &e = openWith("one\r\ntwo");
    e.setSelStart(5);
    press(e, Qt::Key_Backspace);
    ASSERT_EQ(e.text(), "onetwo");
    undo();
    EXPECT_EQ(e.text(), "one\r\ntwo");
    expectCaret(e, 5);
    redo();
    EXPECT_EQ(e.text(), "onetwo");
    expectCaret(e, 3);
}

TEST_F(UndoTest, UndoingARemovedWordSelectsItAndARemovedCharacterDoesNot)
{
    QtEditor &e = openWith("one two three");
    e.setSelStart(4);
    e.setSelLength(4);
    press(e, Qt::Key_Delete);
    ASSERT_EQ(e.text(), "one three");
    e.setSelStart(0);
    press(e, Qt::Key_Delete);
    ASSERT_EQ(e.text(), "ne three");
    undo();
    EXPECT_EQ(e.text(), "one three");
    expectCaret(e, 1);
    undo();
    EXPECT_EQ(e.text(), "one two three");
    expectCaret(e, 4, 4);
    // The first edit of an opened document was undone; nothing is left to undo.
    EXPECT_EQ(undoTexts(), QStringList({"one two three"}));
    undo();
    EXPECT_EQ(e.text(), "one two three");
}

TEST_F(UndoTest, ATypedCharacterOrPasteOverASelectionIsTakenBack)
{
    QtEditor &e = openWith("abcd");
    e.setSelStart(1);
    e.setSelLength(1);
    type(e, QStringLiteral("x")); // same length
    ASSERT_EQ(e.text(), "axcd");
    e.setSelStart(2);
    e.setSelLength(2);
    e.setSelText(QStringLiteral("XYZ"));
    ASSERT_EQ(e.text(), "axXYZ");
    undo();
    EXPECT_EQ(e.text(), "axcd");
    expectCaret(e, 2, 2);
    undo();
    EXPECT_EQ(e.text(), "abcd");
    expectCaret(e, 2);
    redo();
    EXPECT_EQ(e.text(), "axcd");
    redo();
    EXPECT_EQ(e.text(), "axXYZ");
    expectCaret(e, 2, 3);
}

TEST_F(UndoTest, UndoOnAnotherDocumentDoesNothing)
{
    type(current(), QStringLiteral("a"));
    form().PushButton2_Click();
    QtEditor &other = current();
    history().UndoRecording = false;
    undo();
    redo();
    EXPECT_EQ(editorAt(0).text(), "a");
    EXPECT_EQ(other.text(), "");
    EXPECT_EQ(history().Undos.size(), 2u);
    EXPECT_FALSE(history().UndoRecording);
    EXPECT_EQ(captions(), QStringList({"Untitled1.txt*", "Untitled2.txt"}));
    // An edit of the other document starts its own history.
    history().UndoRecording = true;
    type(other, QStringLiteral("b"));
    EXPECT_EQ(form().UndoDocument, 1);
    EXPECT_EQ(undoTexts(), QStringList({"", "b"}));
    undo();
    undo();
    EXPECT_EQ(other.text(), "");
    EXPECT_EQ(editorAt(0).text(), "a");
}

TEST_F(UndoTest, UndoWithOnlyTheBaseRecordSwitchesRecordingOnAndFocuses)
{
    QtEditor &e = current();
    type(e, QStringLiteral("a"));
    undo();
    ASSERT_EQ(history().Undos.size(), 1u);
    e.widget()->clearFocus();
    ASSERT_FALSE(e.hasFocus());
    history().UndoRecording = false;
    undo();
    EXPECT_EQ(e.text(), "");
    EXPECT_TRUE(history().UndoRecording);
    EXPECT_TRUE(e.hasFocus());
    EXPECT_EQ(history().Undos.size(), 1u);
    EXPECT_EQ(history().Redos.size(), 1u);
}

TEST_F(UndoTest, AChangeTheHistoryDidNotSeeEndsTheHistory)
{
    QtEditor &e = current();
    type(e, QStringLiteral("ab"));
    // The document is refilled, as building a document does.
    form().Busy = true;
    e.setText(QStringLiteral("new"));
    form().Busy = false;
    EXPECT_TRUE(history().Undos.empty());
    undo();
    EXPECT_EQ(e.text(), "new");
    // Its next edit starts from the refilled text.
    e.setSelStart(3);
    type(e, QStringLiteral("!"));
    undo();
    EXPECT_EQ(e.text(), "new");
}

TEST_F(UndoTest, AnEditorLoadedAgainUnderTheSameIndexStartsEmpty)
{
    form().PushButton2_Click();
    type(current(), QStringLiteral("old"));
    // Close All unloads the editors and hands their indexes out again.
    tabs().removeTab(1);
    form().unloadEditor(1);
    form().EditorCount = 1;
    form().PushButton2_Click();
    ASSERT_EQ(form().currentEditorIndex(), 1);
    EXPECT_TRUE(history().Undos.empty());
    type(current(), QStringLiteral("n"));
    EXPECT_EQ(undoTexts(), QStringList({"", "n"}));
    undo();
    EXPECT_EQ(current().text(), "");
}

// The history keeps what each key changed, never a copy of the text: typing into a large
// document costs a few bytes per record, and Undo still takes every key back (also where the
// text around a key, which the record is found from, begins inside a surrogate pair).
TEST_F(UndoTest, TypingIntoALargeDocumentKeepsNoCopiesOfIt)
{
    const QByteArray line = "a line of a large document, \xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n";
    QtEditor &e = openWith(line.repeated((4 << 20) / line.size())); // about 4 MB
    const QString before = e.text();
    e.setSelStart(e.textLength() / 2);
    type(e, QString(QStringLiteral("typed é ")).repeated(30));
    qsizetype held = 0;
    for (const UndoElement &r : history().Undos)
        held += r.removed.capacity() + r.inserted.capacity();
    EXPECT_EQ(history().Undos.size(), 241u);
    EXPECT_LT(held * 2, 64 * 1024) << "bytes held by the records' texts";
    while (history().Undos.size() > 1)
        undo();
    EXPECT_TRUE(e.text() == before);
}
