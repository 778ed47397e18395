#include "testenv.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// The real message boxes, answered by what a user does to the box once it is up.
class QtPromptsTest : public FormTest {
protected:
    int ask(int style, const std::function<void(QMessageBox &)> &user)
    {
        QTimer::singleShot(0, [&] {
            if (auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                user(*box);
        });
        return app->qtPrompts.msgBox(QStringLiteral("Exit without saving?"), style, QStringLiteral("Continue Exit"));
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
    EXPECT_EQ(ask(MsgStyle::YesNo + MsgStyle::DefaultButton2, [](QMessageBox &b) {
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
