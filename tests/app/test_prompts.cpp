// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The real message boxes, answered by what a user does to the box once it is up.
class QtPromptsTest : public FormTest {
protected:
    int ask(int style, const std::function<void(QMessageBox &)> &user,
            const QString &text = QStringLiteral("Exit without saving?"))
    {
        bool shown = false;
        QTimer::singleShot(0, [&] {
            if (auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                shown = true;
                user(*box);
            }
        });
        const int answer = app->qtPrompts.msgBox(text, style, QStringLiteral("Continue Exit"));
        EXPECT_TRUE(shown) << "the box never came up";
        return answer;
    }
    static void key(QWidget &box, int k)
    {
        QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(&box, &down);
    }
};

} // namespace

TEST_F(QtPromptsTest, EscapeAndTheCloseButtonAnswerNothingAndTheDefaultIsAsAsked)
{
    EXPECT_EQ(ask(MsgStyle::YesNo, [](QMessageBox &b) { key(b, Qt::Key_Escape); }), MsgResult::Cancel);
    EXPECT_EQ(ask(MsgStyle::YesNo, [](QMessageBox &b) { b.close(); }), MsgResult::Cancel);
    EXPECT_EQ(ask(MsgStyle::YesNo + MsgStyle::DefaultButton2,
                  [](QMessageBox &b) {
                      EXPECT_EQ(b.defaultButton(), b.button(QMessageBox::No));
                      b.defaultButton()->click();
                  }),
              MsgResult::No);
    EXPECT_EQ(ask(MsgStyle::YesNo, [](QMessageBox &b) { b.defaultButton()->click(); }), MsgResult::Yes);
}

TEST_F(QtPromptsTest, BoxOfAShortcutFromElsewhereTakesNoKeyForASecond)
{
    bool hold = true;
    app->qtPrompts.holdKeys = [&] { return hold; };
    QElapsedTimer clock;
    int answer = ask(MsgStyle::YesNo + MsgStyle::DefaultButton2, [&](QMessageBox &b) {
        clock.start();
        key(b, Qt::Key_Escape);
        key(b, Qt::Key_N);
        key(b, Qt::Key_Return);
        EXPECT_TRUE(b.isVisible()) << "a key answered the box at once";
        // After the second the keyboard works again.
        QTimer::singleShot(QtPrompts::KeyHoldTime + 100, &b, [&b] { key(b, Qt::Key_Escape); });
    });
    EXPECT_EQ(answer, MsgResult::Cancel);
    EXPECT_GE(clock.elapsed(), QtPrompts::KeyHoldTime);

    hold = false;
    answer = ask(MsgStyle::YesNo, [](QMessageBox &b) { key(b, Qt::Key_Escape); });
    EXPECT_EQ(answer, MsgResult::Cancel);

    // A question that asks for it holds the keys by itself (the restore question at start).
    answer = ask(MsgStyle::YesNo + MsgStyle::HoldKeys, [&](QMessageBox &b) {
        key(b, Qt::Key_N);
        EXPECT_TRUE(b.isVisible()) << "a key answered the box at once";
        b.defaultButton()->click();
    });
    EXPECT_EQ(answer, MsgResult::Yes);
}

TEST_F(QtPromptsTest, TypingCannotGiveTheAnswerThatDiscards)
{
    struct Case {
        int style;
        int letter;
        QMessageBox::StandardButton discarding;
        int keeps, discards;
    };
    // Save Changes (No discards) and Exit without saving? (Yes discards).
    const Case cases[] = {
        {MsgStyle::YesNo + MsgStyle::Discards, Qt::Key_N, QMessageBox::No, MsgResult::Yes, MsgResult::No},
        {MsgStyle::YesNo + MsgStyle::DefaultButton2 + MsgStyle::Discards, Qt::Key_Y, QMessageBox::Yes, MsgResult::No,
         MsgResult::Yes}};
    for (const Case &c : cases) {
        // The letter, alone or with Alt, does nothing; Enter on the discarding answer gives the default.
        EXPECT_EQ(ask(c.style,
                      [&](QMessageBox &b) {
                          QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &b;
                          QTest::keyClick(focus, c.letter);
                          QTest::keyClick(focus, c.letter, Qt::AltModifier);
                          ASSERT_TRUE(b.isVisible()) << "a letter answered " << c.style;
                          b.button(c.discarding)->setFocus(Qt::TabFocusReason);
                          QTest::keyClick(b.button(c.discarding), Qt::Key_Return);
                      }),
                  c.keeps);
        // Space on it, once the user moved there, gives it.
        EXPECT_EQ(ask(c.style,
                      [&](QMessageBox &b) {
                          b.button(c.discarding)->setFocus(Qt::TabFocusReason);
                          QTest::keyClick(b.button(c.discarding), Qt::Key_Space);
                      }),
                  c.discards);
    }
    // A question that throws nothing away keeps its letter keys.
    EXPECT_EQ(ask(MsgStyle::YesNo, [](QMessageBox &b) { QTest::keyClick(&b, Qt::Key_N); }), MsgResult::No);
}

TEST_F(QtPromptsTest, LongNoticeScrollsAndItsButtonStaysOnTheScreen)
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("/home/you/notes/file %1.txt (no such file)").arg(i);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ask(
        MsgStyle::OkOnly,
        [&](QMessageBox &b) {
            EXPECT_NE(b.findChild<QScrollArea *>(), nullptr);
            EXPECT_LE(b.frameGeometry().height(), screen.height());
            QAbstractButton *ok = b.button(QMessageBox::Ok);
            const QRect onScreen(ok->mapToGlobal(QPoint(0, 0)), ok->size());
            EXPECT_TRUE(screen.contains(onScreen)) << onScreen.y() << " of " << screen.height();
            ok->click();
        },
        lines.join(QLatin1Char('\n')));
    // A short one stays as it was.
    ask(MsgStyle::OkOnly, [](QMessageBox &b) {
        EXPECT_EQ(b.findChild<QScrollArea *>(), nullptr);
        b.button(QMessageBox::Ok)->click();
    });
}
