// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/editoraccessible.h"
#include "testenv.h"

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QUrl>

namespace {

class DesktopTest : public FormTest {
protected:
    // Drags the data over the widget and drops it, as a file manager does; true if accepted.
    bool drop(QWidget *target, QMimeData *data)
    {
        const QPoint at = target->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QApplication::processEvents(); // the files open once the drop is over
        delete data;
        return enter.isAccepted() && dropped.isAccepted();
    }
    QString toolTip(int position)
    {
        QTabBar *bar = app->tabs.bar();
        const QPoint at = bar->tabRect(position).center();
        QHelpEvent help(QEvent::ToolTip, at, bar->mapToGlobal(at));
        QApplication::sendEvent(bar, &help);
        return bar->tabToolTip(position);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods)
    {
        QTest::sendKeyEvent(QTest::Click, current().widget(), k, QString(), mods);
        QApplication::processEvents();
    }
};

TEST_F(DesktopTest, DroppedFilesOpenInOrderOtherDataIsIgnored)
{
    const QString a = env->writeFile("a.txt", "A"), b = env->writeFile("b c.txt", "B");
    auto files = new QMimeData;
    files->setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    EXPECT_TRUE(drop(current().widget()->viewport(), files));
    EXPECT_EQ(captions(), (QStringList{"Untitled1.txt", "a.txt", "b c.txt"}));
    EXPECT_EQ(current().text(), "B");

    auto text = new QMimeData;
    text->setText(a);
    EXPECT_FALSE(drop(&app->window, text));
    auto web = new QMimeData;
    web->setUrls({QUrl("https://example.org/a.txt")});
    EXPECT_FALSE(drop(current().widget()->viewport(), web));
    EXPECT_EQ(captions().size(), 3);
    EXPECT_EQ(current().text(), "B"); // nor was anything typed into the editor
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(DesktopTest, TabToolTipNamesPathEncodingAndLineBreaks)
{
    EXPECT_EQ(toolTip(0), "Untitled");
    const std::pair<QByteArray, QString> files[] = {
        {"a\nb", "UTF-8, Unix line breaks (LF)"},
        {QByteArray("\xEF\xBB\xBF") + "a\r\nb", "UTF-8 with byte-order mark, Windows line breaks (CRLF)"},
        {QByteArray("\xFF\xFE") + QByteArray("a\0\n\0", 4), "UTF-16 little-endian, Unix line breaks (LF)"},
        {QByteArray("\xFE\xFF\0a\0\r\0\n", 8), "UTF-16 big-endian, Windows line breaks (CRLF)"},
        {"caf\xE9\r\nx\ny", "Windows-1252, mixed line breaks, kept as they are"},
    };
    int n = 0;
    for (const auto &[bytes, expected] : files) {
        const QString path = env->writeFile(QStringLiteral("dir %1/f.txt").arg(++n), bytes);
        form().OpenFile(path, false);
        EXPECT_EQ(toolTip(tabs().count() - 1), path + "\n" + expected);
    }
    // After Save As the tooltip names the new file.
    prompts.fileAnswers.push_back(env->path("renamed.txt"));
    form().PushButton14_Click();
    EXPECT_EQ(toolTip(tabs().count() - 1),
              env->path("renamed.txt") + "\nWindows-1252, mixed line breaks, kept as they are");
    // A name that looks like markup is shown as it is named.
    form().OpenFile(env->writeFile("<b>bold</b>.txt", "x"), false);
    EXPECT_TRUE(toolTip(tabs().count() - 1).contains("&lt;b&gt;bold&lt;/b&gt;.txt"));
}

TEST_F(DesktopTest, TabKeysGoRoundAtBothEnds)
{
    QElapsedTimer clock;
    clock.start();
    while (QApplication::activeWindow() != &app->window && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_EQ(QApplication::activeWindow(), &app->window);
    form().PushButton2_Click();
    form().PushButton2_Click();
    ASSERT_EQ(tabs().selectedPosition(), 2);
    key(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(tabs().selectedPosition(), 0);
    EXPECT_TRUE(editorAt(0).isVisible());
    EXPECT_FALSE(editorAt(2).isVisible());
    key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabs().selectedPosition(), 2);
    key(Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(tabs().selectedPosition(), 1);
    key(Qt::Key_PageDown, Qt::ControlModifier);
    key(Qt::Key_PageDown, Qt::ControlModifier);
    EXPECT_EQ(tabs().selectedPosition(), 0);
    EXPECT_TRUE(current().hasFocus());
    EXPECT_TRUE(current().text().isEmpty()); // no key reached the editor as text
}

TEST_F(DesktopTest, CtrlWheelZoomsTheEditorPlainWheelDoesNot)
{
    QWidget *view = current().widget()->viewport();
    const auto wheel = [&](int delta, Qt::KeyboardModifiers mods) {
        QWheelEvent e(QPointF(5, 5), view->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(view, &e);
    };
    const auto zoom = [&] { return current().widget()->SendScintilla(QsciScintillaBase::SCI_GETZOOM); };
    wheel(120, Qt::ControlModifier);
    wheel(60, Qt::ControlModifier);
    EXPECT_EQ(zoom(), 1);
    wheel(60, Qt::ControlModifier); // two half notches of a touchpad make one step
    EXPECT_EQ(zoom(), 2);
    wheel(-360, Qt::ControlModifier);
    EXPECT_EQ(zoom(), -1);
    wheel(120, Qt::NoModifier);
    EXPECT_EQ(zoom(), -1);
}

TEST_F(DesktopTest, EditorGivesTextCaretAndSelectionToAssistiveTechnology)
{
    form().OpenFile(env->writeFile("a.txt", "Grüße\r\n😀 zwei Wörter\r\nEnde"), false);
    ASSERT_EQ(captions().at(1), "a.txt");
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(current().widget());
    // Ours, not QScintilla's own object, which counts from the start at every update.
    ASSERT_NE(dynamic_cast<EditorAccessible *>(iface), nullptr);
    EXPECT_EQ(iface->role(), QAccessible::EditableText);
    QAccessibleTextInterface *text = iface->textInterface();
    ASSERT_NE(text, nullptr);
    // Each "\r\n" of the editor is one "\n" to a screen reader, as in Qt's own text widgets.
    EXPECT_EQ(text->characterCount(), current().textLength() - 2);
    EXPECT_EQ(text->text(2, 5), "üße");
    EXPECT_EQ(text->text(6, 13), "😀 zwei");

    current().setSelStart(10);
    current().setSelLength(4);
    EXPECT_EQ(text->cursorPosition(), 13);
    int start = -1, end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(9, 13));
    EXPECT_EQ(text->selectionCount(), 1);

    EXPECT_EQ(text->textAtOffset(11, QAccessible::LineBoundary, &start, &end), "😀 zwei Wörter\n");
    EXPECT_EQ(std::make_pair(start, end), std::make_pair(6, 21));
    EXPECT_EQ(text->textAtOffset(16, QAccessible::WordBoundary, &start, &end), "Wörter");
    EXPECT_EQ(text->textAfterOffset(11, QAccessible::LineBoundary, &start, &end), "Ende");
    EXPECT_EQ(text->textBeforeOffset(11, QAccessible::LineBoundary, &start, &end), "Grüße\n");

    text->setCursorPosition(5);
    EXPECT_EQ(current().selStart(), 5);
    EXPECT_EQ(current().selLength(), 0);
    // An edit through the editable-text interface is recorded as typing is.
    iface->editableTextInterface()->insertText(0, QStringLiteral("« "));
    EXPECT_EQ(captions().at(1), "a.txt*");
    EXPECT_TRUE(current().text().startsWith(QStringLiteral("« Grüße")));

    QAccessibleInterface *button = QAccessible::queryAccessibleInterface(app->window.button(Button::PushButton7));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(QAccessible::Name), "Save (Ctrl+S)");
}

} // namespace
