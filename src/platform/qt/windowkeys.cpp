// SPDX-License-Identifier: GPL-3.0-or-later
// The keyboard's ways around the main window: the keys that redo and zoom, the editor's menu,
// and F6 from the editor to the command buttons and back.
#include "platform/qt/mainwindow.h"

#include "app/commands.h"
#include "app/form1.h"
#include "platform/qt/qteditor.h"
#include "platform/qt/twips.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QShortcut>

namespace {

// The editor widget a widget belongs to (itself or its viewport), nullptr for any other.
SciWidget *editorOf(QObject *o)
{
    for (; o; o = o->parent()) {
        if (auto editor = qobject_cast<SciWidget *>(o))
            return editor;
    }
    return nullptr;
}

} // namespace

void MainWindow::installWindowKeys()
{
    const auto windowKey = [this](const QList<QKeySequence> &keys, std::function<void()> run) {
        auto shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, run] {
            if (form_)
                run();
        });
    };
    windowKey({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)},
              [this] { form_->PushButton9_Click(); });
    // Replace, searching again and Go to Line (search/); the editors leave these keys alone.
    windowKey({QKeySequence(Qt::CTRL | Qt::Key_H)}, [this] { form_->showReplace(); });
    windowKey({QKeySequence(Qt::Key_F3)}, [this] { form_->findAgain(false); });
    windowKey({QKeySequence(Qt::SHIFT | Qt::Key_F3)}, [this] { form_->findAgain(true); });
    windowKey({QKeySequence(Qt::CTRL | Qt::Key_G)}, [this] { form_->showGoToLine(); });
    // "+" is Shift+"=" on many keyboards: both, with Shift or without, and the keypad's.
    windowKey({QKeySequence(Qt::CTRL | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::Key_Plus),
               QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Equal), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus),
               QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Plus)},
              [this] { form_->zoomEditor(1); });
    windowKey({QKeySequence(Qt::CTRL | Qt::Key_Minus),
               QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_Minus)},
              [this] { form_->zoomEditor(-1); });
    windowKey({QKeySequence(Qt::CTRL | Qt::Key_0), QKeySequence(Qt::ControlModifier | Qt::KeypadModifier | Qt::Key_0)},
              [this] { form_->zoomEditor(0); });
    // The Menu key arrives as a context menu event; Shift+F10 is its other name.
    windowKey({QKeySequence(Qt::SHIFT | Qt::Key_F10)}, [this] {
        if (SciWidget *editor = editorOf(QApplication::focusWidget()))
            showEditorMenu(editor, editor->caretPoint());
    });
    // F6: from the editor to the first button; from a button back to the editor.
    windowKey({QKeySequence(Qt::Key_F6)}, [this] {
        QWidget *focus = QApplication::focusWidget();
        if (focus && buttons_.key(qobject_cast<QPushButton *>(focus), Button(-1)) != Button(-1))
            form_->focusEditor();
        else
            focusButton(Commands.front().button);
    });
}

void MainWindow::focusButton(Button b)
{
    // The style draws the focus mark only once the keyboard has moved the focus in this window.
    setAttribute(Qt::WA_KeyboardFocusChange);
    buttons_.value(b)->setFocus(Qt::TabFocusReason);
}

bool MainWindow::editorMenuEvent(QObject *watched, QContextMenuEvent *e)
{
    SciWidget *editor = editorOf(watched);
    if (!editor || !form_)
        return false;
    if (e->reason() == QContextMenuEvent::Mouse)
        showEditorMenu(static_cast<QWidget *>(watched), e->pos());
    else
        showEditorMenu(editor, editor->caretPoint());
    e->accept();
    return true;
}

void MainWindow::showEditorMenu(QWidget *at, QPoint point)
{
    const QPoint inWindow = at->mapTo(this, point);
    form_->editorMenu(Twips::fromPixels(inWindow.x()), Twips::fromPixels(inWindow.y()));
}

bool MainWindow::buttonKey(QObject *watched, QKeyEvent *e)
{
    auto button = qobject_cast<QPushButton *>(watched);
    if (!button || !form_)
        return false;
    int at = -1;
    for (int i = 0; i < static_cast<int>(Commands.size()); ++i) {
        if (buttons_.value(Commands[static_cast<size_t>(i)].button) == button)
            at = i;
    }
    if (at < 0)
        return false;
    const Qt::KeyboardModifiers held = e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (held)
        return false;
    // Across the buttons in reading order (the top row, then the bottom row), round past the ends.
    const auto move = [&](int step) {
        const int count = static_cast<int>(Commands.size());
        const Button next = Commands[static_cast<size_t>(((at + step) % count + count) % count)].button;
        focusButton(next);
        return true;
    };
    switch (e->key()) {
    case Qt::Key_Tab: return move(e->modifiers() & Qt::ShiftModifier ? -1 : 1);
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Up: return move(-1);
    case Qt::Key_Right:
    case Qt::Key_Down: return move(1);
    case Qt::Key_Return:
    case Qt::Key_Enter: button->click(); return true;
    case Qt::Key_Escape: form_->focusEditor(); return true;
    default: return false; // Space presses it, as on every button
    }
}
