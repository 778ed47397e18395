// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/editoraccessible.h"
#include "testenv.h"

#include <QAccessible>
#include <gtest/gtest.h>

// What a screen reader reads of an editor: the text with every line break one character, as Qt's
// own text widgets give it, while the editor holds "\r\n".
namespace {

class AccessibleTextTest : public FormTest {
protected:
    QAccessibleInterface *iface(QtEditor &e) { return QAccessible::queryAccessibleInterface(e.widget()); }

    // Every offset of the accessible text against the editor's own text read with "\r\n" as "\n":
    // the caret, characters, lines, selection and places on screen.
    void checkOffsets(QtEditor &e)
    {
        QAccessibleTextInterface *t = iface(e)->textInterface();
        const QString want = QString(e.text()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
        ASSERT_EQ(t->characterCount(), want.size());
        ASSERT_EQ(t->text(0, want.size()), want);
        const auto isBreak = [&](int i) { return want[i] == QLatin1Char('\n') || want[i] == QLatin1Char('\r'); };
        int start = -1, end = -1;
        for (int a = 0; a <= want.size(); ++a) {
            SCOPED_TRACE(testing::Message() << "offset " << a << " of " << qPrintable(want.toUtf8().toHex(' ')));
            // A surrogate pair is one place; a kept byte is a lone low surrogate, a place of its own.
            const int at =
                a > 0 && a < want.size() && want[a].isLowSurrogate() && want[a - 1].isHighSurrogate() ? a - 1 : a;
            t->setCursorPosition(a);
            EXPECT_EQ(t->cursorPosition(), at);
            if (a == want.size())
                break;
            EXPECT_EQ(t->textAtOffset(a, QAccessible::CharBoundary, &start, &end),
                      want.mid(at, want[at].isHighSurrogate() ? 2 : 1));
            EXPECT_EQ(start, at);
            int lineStart = at, lineEnd = at;
            while (lineStart > 0 && !isBreak(lineStart - 1))
                --lineStart;
            while (lineEnd < want.size() && !isBreak(lineEnd))
                ++lineEnd;
            lineEnd = std::min<int>(lineEnd + 1, want.size());
            EXPECT_EQ(t->textAtOffset(a, QAccessible::LineBoundary, &start, &end),
                      want.mid(lineStart, lineEnd - lineStart));
            EXPECT_EQ(std::make_pair(start, end), std::make_pair(lineStart, lineEnd));
            const QRect r = t->characterRect(at);
            EXPECT_EQ(t->offsetAtPoint(QPoint(r.left() + 1, r.center().y())), at);
        }
        if (want.size() < 2)
            return;
        t->setSelection(0, 1, want.size());
        t->selection(0, &start, &end);
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(1, int(want.size())));
    }
};

TEST_F(AccessibleTextTest, EveryLineBreakIsOneCharacterAtEveryOffset)
{
    QtEditor &e = editorAt(0);
    const QChar kept1(0xDCFF), kept2(0xDCFE); // bytes that are no UTF-8, one unit each
    const QString documents[] = {
        QStringLiteral("one\r\ntwo\r\n\r\nthree\r\n"),                                              // LF or CRLF file
        QStringLiteral("old\rmac\r\rfile"),                                                         // lone "\r"
        QStringLiteral("a\rb\nc\r\nd\n\re\r\r\nf"),                                                 // mixed
        QStringLiteral("x") + kept1 + QStringLiteral("\r\n😀y") + kept2 + QStringLiteral("\r😀\r\n"), // kept, pairs
    };
    for (const QString &text : documents) {
        SCOPED_TRACE(qPrintable(text.toUtf8().toHex(' ')));
        e.setText(text);
        checkOffsets(e);
    }
}

TEST_F(AccessibleTextTest, OffsetsHoldAfterEditsThatMakeAndBreakPairs)
{
    QtEditor &e = editorAt(0);
    e.setText(QStringLiteral("old\rmac\nfile\r\nend"));
    checkOffsets(e); // the line breaks are counted now and followed from here on
    e.setSelStart(4);
    e.setSelText(QStringLiteral("\n")); // after the lone "\r": a pair
    ASSERT_EQ(e.text(), QStringLiteral("old\r\nmac\nfile\r\nend"));
    checkOffsets(e);
    e.setSelStart(8);
    e.setSelText(QStringLiteral("\r")); // before the lone "\n": a pair
    checkOffsets(e);
    const long middle = e.utf8().lastIndexOf("\r\n") + 1;
    e.widget()->asOneChange([&] { e.widget()->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, middle, "x\r"); });
    ASSERT_EQ(e.text(), QStringLiteral("old\r\nmac\r\nfile\rx\r\nend")); // one pair broken, one made
    checkOffsets(e);
    e.setSelStart(2);
    e.setSelLength(9); // across breaks of both kinds
    e.setSelText(QString());
    checkOffsets(e);
    e.setSelStart(e.textLength());
    press(e, Qt::Key_Return); // typing, as a user does
    type(e, QStringLiteral("ab"));
    press(e, Qt::Key_Backspace);
    checkOffsets(e);
    EXPECT_TRUE(e.text().endsWith(QStringLiteral("end\r\na")));
    // Replaced without a change of its own: counted afresh.
    e.release();
    checkOffsets(e);
}

TEST_F(AccessibleTextTest, FilesOfEitherLineBreakReadAlike)
{
    for (const QByteArray &bytes : {QByteArray("first\nsecond\n"), QByteArray("first\r\nsecond\r\n")}) {
        const QString name = bytes.contains('\r') ? QStringLiteral("crlf.txt") : QStringLiteral("lf.txt");
        form().OpenFile(env->writeFile(name, bytes), false);
        QAccessibleTextInterface *t = iface(current())->textInterface();
        EXPECT_EQ(t->characterCount(), 13);
        EXPECT_EQ(t->text(0, 13), QStringLiteral("first\nsecond\n"));
        int start = -1, end = -1;
        EXPECT_EQ(t->textAfterOffset(0, QAccessible::LineBoundary, &start, &end), QStringLiteral("second\n"));
        EXPECT_EQ(std::make_pair(start, end), std::make_pair(6, 13));
    }
}

TEST_F(AccessibleTextTest, EditorIsNamedByItsCaption)
{
    EXPECT_EQ(iface(current())->text(QAccessible::Name), captions().at(0));
    form().OpenFile(env->writeFile("notes.txt", "text"), false);
    QtEditor &notes = current();
    EXPECT_EQ(iface(notes)->text(QAccessible::Name), "notes.txt");
    type(notes, QStringLiteral("x"));
    ASSERT_EQ(captions().at(1), "notes.txt*");
    EXPECT_EQ(iface(notes)->text(QAccessible::Name), "notes.txt");                 // the mark is not part of the name
    form().setCaption(form().currentEditorIndex(), QStringLiteral("renamed.txt")); // as Save As does
    EXPECT_EQ(iface(notes)->text(QAccessible::Name), "renamed.txt");
}

} // namespace
