// SPDX-License-Identifier: GPL-3.0-or-later
#include "oracles.h"
#include "testenv.h"
#include "undo/stretch.h"

#include <QApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// The history as whole-text snapshots: each record holds the document's text, and a step
// finds the stretch between two neighbouring texts. The program's history keeps only the
// changes; it must behave exactly like this, step by step.
struct Snapshot {
    qint32 selStart, textLen;
    QString text;
};

struct SnapshotModel {
    std::vector<Snapshot> undos, redos;
    bool elsewhere = false; // the history holds another document's edits
    QString text;           // the editor's, as the model expects it
    int selStart = 0, selLength = 0;

    void place(qint32 start, qint32 length, const QString &with)
    {
        text.replace(start, length, with);
        if (with != QLatin1String("\r\n") && with.size() > 1) {
            selStart = start;
            selLength = int(with.size());
        } else {
            selStart = start + int(with.size());
            selLength = 0;
        }
    }
    void record(const QString &before, const QString &after, qint32 caret, bool fresh)
    {
        redos.clear();
        if (fresh || elsewhere || undos.empty())
            undos = {Snapshot{editStretch(before, after, caret).start, qint32(before.size()), before}};
        undos.push_back(Snapshot{caret, qint32(after.size()), after});
        text = after;
        elsewhere = false;
    }
    void undo()
    {
        if (elsewhere || undos.size() < 2)
            return;
        const Snapshot last = undos.back(), prev = undos[undos.size() - 2];
        const Stretch s = editStretch(prev.text, last.text, last.selStart);
        place(s.start, s.inserted, prev.text.mid(s.start, s.removed));
        redos.push_back(last);
        undos.pop_back();
    }
    void redo()
    {
        if (elsewhere || redos.empty())
            return;
        const Snapshot x = redos.back();
        const Stretch s = editStretch(text, x.text, x.selStart);
        place(s.start, s.removed, x.text.mid(s.start, s.inserted));
        undos.push_back(x);
        redos.pop_back();
    }
};

} // namespace

class UndoModelTest : public FormTest {
protected:
    QRandomGenerator rng{0x5eed2026};
    const QStringList pieces = {"a",
                                "b",
                                " ",
                                "\r\n",
                                QString::fromUtf8("\xC3\xA9"),
                                QString::fromUtf8("\xE4\xB8\xAD"),
                                QString::fromUtf8("\xF0\x9F\x98\x80"),
                                QString::fromUtf8("\xF0\x9F\x98\x81"),
                                QString::fromUtf8("\xF0\x9F\xA8\x80"),
                                "xyz",
                                "\r"};

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

    void expectAgreement(const SnapshotModel &m, QtEditor &e, const char *what)
    {
        SCOPED_TRACE(what);
        const ModUndos &h = form().undo;
        ASSERT_EQ(e.text(), m.text);
        if (m.elsewhere)
            return;
        ASSERT_EQ(h.Undos.size(), m.undos.size());
        ASSERT_EQ(h.Redos.size(), m.redos.size());
        for (size_t i = 0; i < m.undos.size(); ++i) {
            ASSERT_EQ(h.Undos[i].SelStart, m.undos[i].selStart) << "undo record " << i;
            ASSERT_EQ(h.Undos[i].TextLen, m.undos[i].textLen) << "undo record " << i;
            ASSERT_EQ(undoText(h, e, i), m.undos[i].text) << "undo record " << i;
        }
        for (size_t i = 0; i < m.redos.size(); ++i) {
            ASSERT_EQ(h.Redos[i].SelStart, m.redos[i].selStart) << "redo record " << i;
            ASSERT_EQ(redoText(h, e, i), m.redos[i].text) << "redo record " << i;
        }
    }
};

TEST_F(UndoModelTest, TheChangeHistoryAgreesWithWholeTextSnapshotsStepByStep)
{
    form().PushButton2_Click(); // a second document to switch to
    QtEditor &other = current();
    tabs().select(0);
    QtEditor &e = current();
    for (int sequence = 0; sequence < 1200; ++sequence) {
        // Each sequence starts on a new text, as a refilled document does; some are long enough
        // that the text read around a change starts inside it.
        QString start;
        for (int n = rng.bounded(4) == 0 ? rng.bounded(60) : rng.bounded(6); n > 0; --n)
            start += piece();
        form().Busy = true;
        e.setText(QStringLiteral("-")); // a change even when the new text is empty
        e.setText(start);
        form().Busy = false;
        if (form().UndoDocument == 0) {
            ASSERT_TRUE(form().undo.Undos.empty());
        }
        SnapshotModel m;
        m.elsewhere = form().UndoDocument != 0;
        m.text = start;
        bool fresh = true;
        for (int op = 0; op < 14; ++op) {
            const int kind = rng.bounded(10);
            if (kind < 5) {
                const QString old = e.text();
                const size_t records = form().undo.Undos.size();
                const int owner = form().UndoDocument;
                randomEdit(e);
                // Typing a character over the same one changes nothing but is an edit.
                if (e.text() != old || form().undo.Undos.size() != records || form().UndoDocument != owner) {
                    m.record(old, e.text(), e.selStart(), fresh);
                    fresh = false;
                }
                m.selStart = e.selStart();
                m.selLength = e.selLength();
                expectAgreement(m, e, "edit");
            } else if (kind < 7) {
                form().PushButton6_Click();
                m.undo();
                expectAgreement(m, e, "undo");
                ASSERT_EQ(e.selStart(), m.selStart);
                ASSERT_EQ(e.selLength(), m.selLength);
            } else if (kind < 9) {
                form().PushButton9_Click();
                m.redo();
                expectAgreement(m, e, "redo");
                ASSERT_EQ(e.selStart(), m.selStart);
                ASSERT_EQ(e.selLength(), m.selLength);
            } else {
                // An edit in another document starts that document's history; coming back,
                // Undo does nothing until this document is edited again.
                tabs().select(1);
                typeKey(other, QStringLiteral("o"));
                ASSERT_EQ(form().UndoDocument, 1);
                tabs().select(0);
                form().PushButton6_Click();
                ASSERT_EQ(e.text(), m.text);
                m.elsewhere = true;
            }
        }
        ASSERT_TRUE(prompts.reports().empty());
    }
}
