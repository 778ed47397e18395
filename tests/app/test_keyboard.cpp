// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's menu, the view options, the redo and zoom keys and the buttons by keyboard, on the
// real window offscreen.
#include "testenv.h"

#include "app/commands.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <functional>

namespace {

using Sci = QsciScintillaBase;

bool runUntil(const std::function<bool()> &condition, int milliseconds = 2000)
{
    QElapsedTimer t;
    t.start();
    while (!condition() && t.elapsed() < milliseconds)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return condition();
}

class KeyboardTest : public FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        ASSERT_TRUE(runUntil([this] { return QApplication::activeWindow() == &app->window; }));
    }
    // Opens the menu by a right click in the current editor and picks `caption`
    // ("" picks nothing); returns the entries it showed.
    std::vector<MenuEntry> pick(const QString &caption)
    {
        prompts.menuAnswers.push_back(-1);
        rightClick();
        std::vector<MenuEntry> shown = prompts.lastEditorMenu;
        if (caption.isEmpty())
            return shown;
        int index = -1;
        for (int i = 0; i < static_cast<int>(shown.size()); ++i) {
            if (QString(shown[i].caption).remove(QLatin1Char('&')) == caption)
                index = i;
        }
        EXPECT_GE(index, 0) << qPrintable(caption);
        prompts.menuAnswers.push_back(index);
        rightClick();
        return shown;
    }
    void rightClick()
    {
        QWidget *viewport = current().widget()->viewport();
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(20, 10), viewport->mapToGlobal(QPoint(20, 10)));
        QApplication::sendEvent(viewport, &e);
    }
    static bool enabled(const std::vector<MenuEntry> &entries, const QString &caption)
    {
        for (const MenuEntry &e : entries) {
            if (QString(e.caption).remove(QLatin1Char('&')) == caption)
                return e.enabled;
        }
        ADD_FAILURE() << "no entry " << qPrintable(caption);
        return false;
    }
    // Through Qt's shortcut handling, as a user's key press arrives.
    void key(QWidget *target, Qt::Key k, Qt::KeyboardModifiers mods, const QString &text = QString())
    {
        QTest::sendKeyEvent(QTest::Click, target, k, text, mods);
        QApplication::processEvents();
    }
    QWidget *focused() const { return QApplication::focusWidget(); }
    QPushButton *button(Button b) const { return app->window.button(b); }
    long sci(QtEditor &e, unsigned int message, unsigned long w = 0)
    {
        return e.widget()->SendScintilla(message, w, 0L);
    }
};

TEST_F(KeyboardTest, MenuEditsGoThroughTheHistoryAndItsEntriesSayWhatWouldWork)
{
    std::vector<MenuEntry> shown = pick(QString());
    EXPECT_FALSE(enabled(shown, "Undo"));
    EXPECT_FALSE(enabled(shown, "Redo"));
    EXPECT_FALSE(enabled(shown, "Cut"));
    EXPECT_TRUE(enabled(shown, "Select All"));

    type(current(), "one two");
    shown = pick("Undo");
    EXPECT_TRUE(enabled(shown, "Undo"));
    EXPECT_FALSE(enabled(shown, "Redo"));
    EXPECT_EQ(current().text(), "one tw");
    EXPECT_EQ(app->undos.Redos.size(), 1u); // the program's history took the step, not the widget's
    EXPECT_TRUE(enabled(pick("Redo"), "Redo"));
    EXPECT_EQ(current().text(), "one two");
    EXPECT_FALSE(enabled(pick(QString()), "Redo"));

    // Cut and Paste are edits like typing: recorded, and undone through the history.
    current().setSelStart(4);
    current().setSelLength(3);
    shown = pick("Cut");
    EXPECT_TRUE(enabled(shown, "Cut"));
    EXPECT_EQ(current().text(), "one ");
    EXPECT_EQ(QApplication::clipboard()->text(), "two");
    EXPECT_TRUE(form().documents[0].unsaved);
    current().setSelStart(0);
    EXPECT_TRUE(enabled(pick("Paste"), "Paste"));
    EXPECT_EQ(current().text(), "twoone ");
    pick("Undo");
    EXPECT_EQ(current().text(), "one ");
    pick("Undo");
    EXPECT_EQ(current().text(), "one two");
    pick("Select All");
    pick("Delete");
    EXPECT_EQ(current().text(), "");
    pick("Undo");
    EXPECT_EQ(current().text(), "one two");

    // Shift+F10 opens it from the keyboard, below the caret.
    const size_t menus = prompts.ofKind(ShownPrompt::EditorMenu).size();
    key(current().widget(), Qt::Key_F10, Qt::ShiftModifier);
    ASSERT_EQ(prompts.ofKind(ShownPrompt::EditorMenu).size(), menus + 1);
    EXPECT_GT(prompts.ofKind(ShownPrompt::EditorMenu).back().y, current().top());
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(KeyboardTest, ViewOptionsAreRememberedAndReachLaterEditors)
{
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_NONE);
    EXPECT_EQ(sci(current(), Sci::SCI_GETMARGINWIDTHN, 0), 0);
    pick("Word Wrap");
    pick("Line Numbers");
    pick("Status Line");
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_WORD);
    const long oneDigit = sci(current(), Sci::SCI_GETMARGINWIDTHN, 0);
    EXPECT_GT(oneDigit, 0);
    // The margin widens as the count of lines reaches ten.
    type(current(), "1\n2\n3\n4\n5\n6\n7\n8\n");
    EXPECT_EQ(sci(current(), Sci::SCI_GETMARGINWIDTHN, 0), oneDigit);
    type(current(), "9\n");
    EXPECT_GT(sci(current(), Sci::SCI_GETMARGINWIDTHN, 0), oneDigit);

    form().PushButton2_Click(); // a later editor
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_WORD);
    EXPECT_EQ(sci(current(), Sci::SCI_GETMARGINWIDTHN, 0), oneDigit);
    // A large document stays unwrapped: wrapping would lay out all of it before Ctrl+End.
    current().setText(QString(1100 * 1024, QLatin1Char('x')));
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_NONE);
    current().setText("short");
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_WORD);
    const std::vector<MenuEntry> shown = pick(QString());
    for (const MenuEntry &e : shown) {
        if (e.checkable) {
            EXPECT_TRUE(e.checked) << qPrintable(e.caption);
        }
    }

    EXPECT_EQ(form().GetSetting("WordWrap", ""), "1");
    EXPECT_EQ(form().GetSetting("LineNumbers", ""), "1");
    EXPECT_EQ(form().GetSetting("StatusLine", ""), "1");
    prompts.msgAnswers.push_back(MsgResult::No); // Untitled1 has changes: not saved
    restartProgram();
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_WORD);
    EXPECT_GT(sci(current(), Sci::SCI_GETMARGINWIDTHN, 0), 0);
    EXPECT_TRUE(form().statusLineShown());
    pick("Word Wrap");
    EXPECT_EQ(sci(current(), Sci::SCI_GETWRAPMODE), Sci::SC_WRAP_NONE);
    EXPECT_EQ(form().GetSetting("WordWrap", ""), "0");
}

TEST_F(KeyboardTest, RedoAndZoomKeysActAndCtrlOrAltCombinationsTypeNothing)
{
    QWidget *w = current().widget();
    type(current(), "ab");
    form().PushButton6_Click();
    EXPECT_EQ(current().text(), "a");
    key(w, Qt::Key_Y, Qt::ControlModifier, QString(QChar(25)));
    EXPECT_EQ(current().text(), "ab");
    form().PushButton6_Click();
    key(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, QString(QChar(26)));
    EXPECT_EQ(current().text(), "ab");

    key(w, Qt::Key_Equal, Qt::ControlModifier, "=");
    EXPECT_EQ(current().zoom(), 1);
    key(w, Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, "+");
    key(w, Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier, "+");
    EXPECT_EQ(current().zoom(), 3);
    key(w, Qt::Key_Minus, Qt::ControlModifier, "-");
    EXPECT_EQ(current().zoom(), 2);
    EXPECT_EQ(form().documents[0].zoom, 2);

    // Each document keeps its own zoom while tabs are switched.
    form().PushButton2_Click();
    EXPECT_EQ(current().zoom(), 0);
    key(current().widget(), Qt::Key_Minus, Qt::ControlModifier | Qt::KeypadModifier, "-");
    EXPECT_EQ(current().zoom(), -1);
    form().switchTab(1);
    EXPECT_EQ(current().zoom(), 2);
    key(current().widget(), Qt::Key_0, Qt::ControlModifier, "0");
    EXPECT_EQ(current().zoom(), 0);
    EXPECT_EQ(current().text(), "ab");

    // Straight to the widget, past the window's keys: Ctrl or Alt alone type nothing, Ctrl+Alt
    // (AltGr on some keyboards) and AltGr type their character.
    for (auto [k, mods, text] : {std::tuple{Qt::Key_Equal, Qt::KeyboardModifiers(Qt::ControlModifier), "="},
                                 std::tuple{Qt::Key_X, Qt::KeyboardModifiers(Qt::AltModifier), "x"},
                                 std::tuple{Qt::Key_Plus, Qt::ControlModifier | Qt::ShiftModifier, "+"}}) {
        QKeyEvent down(QEvent::KeyPress, k, mods, QString::fromLatin1(text));
        QApplication::sendEvent(w, &down);
    }
    EXPECT_EQ(current().text(), "ab");
    QKeyEvent altGr(QEvent::KeyPress, Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@");
    QApplication::sendEvent(w, &altGr);
    QKeyEvent level3(QEvent::KeyPress, Qt::Key_BraceLeft, Qt::GroupSwitchModifier, "{");
    QApplication::sendEvent(w, &level3);
    EXPECT_EQ(current().text(), "ab@{");
}

TEST_F(KeyboardTest, F6ReachesTheButtonsTabAndArrowsMoveEnterPressesEscapeReturns)
{
    QWidget *editor = current().widget();
    type(current(), "text");
    ASSERT_EQ(focused(), editor);
    // Tab in the editor still types a tab.
    key(editor, Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_EQ(current().text(), "text\t");
    EXPECT_EQ(focused(), editor);

    key(editor, Qt::Key_F6, Qt::NoModifier);
    EXPECT_EQ(focused(), button(Button::PushButton2)); // New
    key(focused(), Qt::Key_Tab, Qt::NoModifier);
    EXPECT_EQ(focused(), button(Button::PushButton1)); // Open
    key(focused(), Qt::Key_Backtab, Qt::ShiftModifier);
    key(focused(), Qt::Key_Left, Qt::NoModifier); // round to the end of the bottom row
    EXPECT_EQ(focused(), button(Button::PushButton12));
    key(focused(), Qt::Key_Right, Qt::NoModifier);
    EXPECT_EQ(focused(), button(Button::PushButton2));
    for (int i = 0; i < 6; ++i) // the top row's six, then Undo in the bottom row
        key(focused(), Qt::Key_Down, Qt::NoModifier);
    EXPECT_EQ(focused(), button(Button::PushButton6));
    for (int i = 0; i < 4; ++i)
        key(focused(), Qt::Key_Tab, Qt::NoModifier);
    ASSERT_EQ(focused(), button(Button::PushButton5)); // Select All
    key(focused(), Qt::Key_Return, Qt::NoModifier);
    EXPECT_EQ(current().selLength(), 5);
    EXPECT_EQ(focused(), editor); // Select All hands the keyboard to the text

    key(editor, Qt::Key_F6, Qt::NoModifier);
    key(focused(), Qt::Key_Escape, Qt::NoModifier);
    EXPECT_EQ(focused(), editor);
    key(editor, Qt::Key_F6, Qt::NoModifier);
    key(focused(), Qt::Key_F6, Qt::NoModifier);
    EXPECT_EQ(focused(), editor);

    // A click runs the command and leaves the keyboard where it was.
    QTest::mouseClick(button(Button::PushButton2), Qt::LeftButton);
    EXPECT_EQ(tabs().count(), 2);
    EXPECT_EQ(focused(), current().widget());
    EXPECT_EQ(button(Button::PushButton9)->toolTip(), "Redo (Ctrl+Y)");
    EXPECT_EQ(button(Button::PushButton7)->toolTip(), "Save (Ctrl+S)");
    EXPECT_EQ(button(Button::PushButton8)->toolTip(), "Save All");
}

} // namespace
