#include "testenv.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <gtest/gtest.h>

// Random edits made through the real editor, as a user makes them, then taken back and
// repeated: every step must give exactly the text that the edits produced.
class UndoModelTest : public FormTest {
protected:
    QRandomGenerator rng{0x5eed2026};
    const QStringList pieces = {"a", "b", " ", "\r\n", QString::fromUtf8("\xC3\xA9"), QString::fromUtf8("\xE4\xB8\xAD"),
                                QString::fromUtf8("\xF0\x9F\x98\x80"), QString::fromUtf8("\xF0\x9F\x98\x81"),
                                QString::fromUtf8("\xF0\x9F\xA8\x80"), "xyz", "\r"};

    QString piece() { return pieces[rng.bounded(int(pieces.size()))]; }
    int anyPosition(const QtEditor &e) { return rng.bounded(e.textLength() + 1); }

    // A key that types one character, which may be a surrogate pair.
    void typeKey(QtEditor &e, const QString &text)
    {
        QKeyEvent down(QEvent::KeyPress, 0, Qt::NoModifier, text);
        QApplication::sendEvent(e.widget(), &down);
        QKeyEvent up(QEvent::KeyRelease, 0, Qt::NoModifier, text);
        QApplication::sendEvent(e.widget(), &up);
    }

    void randomEdit(QtEditor &e)
    {
        e.setSelStart(anyPosition(e));
        if (rng.bounded(3) == 0)
            e.setSelLength(rng.bounded(6));
        switch (rng.bounded(6)) {
        case 0: { // paste
            QString text;
            for (int n = 1 + rng.bounded(3); n > 0; --n)
                text += piece();
            e.setSelText(text);
            break;
        }
        case 1: // cut
            e.setSelLength(rng.bounded(6));
            e.setSelText(QString());
            break;
        case 2: {
            const QString c = piece();
            if (c == "\r\n")
                press(e, Qt::Key_Return);
            else if (c == "\r")
                e.setSelText(c); // only a file with mixed line breaks holds one
            else
                typeKey(e, c.size() == 3 ? c.left(1) : c);
            break;
        }
        case 3: press(e, Qt::Key_Backspace); break;
        case 4: press(e, Qt::Key_Delete); break;
        case 5: press(e, Qt::Key_Return); break;
        }
    }
};

TEST_F(UndoModelTest, UndoAndRedoWalkBackAndForthThroughTheEditedTexts)
{
    QtEditor &e = current();
    ModUndos &history = form().undo;
    for (int sequence = 0; sequence < 1500; ++sequence) {
        // Each sequence starts on a new text, as a refilled document does.
        QString start;
        for (int n = rng.bounded(6); n > 0; --n)
            start += piece();
        form().Busy = true;
        e.setText(QStringLiteral("-")); // a change even when the new text is empty
        e.setText(start);
        form().Busy = false;
        ASSERT_TRUE(history.Undos.empty());

        QStringList texts = {start};
        for (int edits = 1 + rng.bounded(8); edits > 0; --edits) {
            const size_t before = history.Undos.size();
            const QString old = e.text();
            randomEdit(e);
            const QString now = e.text();
            // One record per change, the first one with the text before it as its base.
            const size_t added = history.Undos.size() - before;
            if (now != old) {
                ASSERT_EQ(added, before == 0 ? 2u : 1u);
            }
            if (added > 0)
                texts << now;
        }
        SCOPED_TRACE(QString("sequence %1: %2").arg(sequence).arg(texts.join(" | ")).toStdString());
        ASSERT_EQ(history.Undos.size(), size_t(texts.size()) > 1 ? size_t(texts.size()) : 0u);

        const int last = int(texts.size()) - 1;
        for (int k = last - 1; k >= 0; --k) {
            form().PushButton6_Click();
            ASSERT_EQ(e.text(), texts[k]) << "undo to " << k;
        }
        form().PushButton6_Click(); // nothing left
        ASSERT_EQ(e.text(), texts[0]);
        for (int k = 1; k <= last; ++k) {
            form().PushButton9_Click();
            ASSERT_EQ(e.text(), texts[k]) << "redo to " << k;
        }
        // Then a random walk: Undo then Redo always gives back the text before the Undo.
        int k = last;
        for (int step = 0; step < 10 && last > 0; ++step) {
            if (rng.bounded(2) == 0 && k > 0) {
                form().PushButton6_Click();
                --k;
            } else if (k < last) {
                form().PushButton9_Click();
                ++k;
            }
            ASSERT_EQ(e.text(), texts[k]) << "walk at " << k;
        }
        ASSERT_TRUE(prompts.reports().empty());
    }
}
