// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/windowhotkeys.h"

#include <QWidget>

WindowHotKeys::~WindowHotKeys()
{
    // The shortcuts belong to the window, which outlives this object.
    for (const QPointer<QShortcut> &s : shortcuts_)
        delete s.data();
}

QKeySequence WindowHotKeys::sequenceOf(int modifiers, int key)
{
    if (modifiers & ~0xF)
        return {};
    if (!((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')))
        return {};
    // Qt's key codes of letters and digits are their upper-case characters, as virtual keys are.
    Qt::KeyboardModifiers mods;
    if (modifiers & 1)
        mods |= Qt::AltModifier;
    if (modifiers & HotKeyModifier::Control)
        mods |= Qt::ControlModifier;
    if (modifiers & 4)
        mods |= Qt::ShiftModifier;
    if (modifiers & 8)
        mods |= Qt::MetaModifier;
    return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key)));
}

bool WindowHotKeys::registerHotKey(int id, int modifiers, int key)
{
    const QKeySequence sequence = sequenceOf(modifiers, key);
    if (sequence.isEmpty())
        return false;
    for (const QPointer<QShortcut> &s : shortcuts_) {
        if (s && s->key() == sequence)
            return false;
    }
    auto shortcut = new QShortcut(sequence, window_);
    shortcut->setContext(Qt::WindowShortcut);
    // One press, one command: holding the keys down does not repeat it.
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, shortcut, [this, id] { notifyHotKey(id); });
    shortcuts_.emplace_back(shortcut);
    return true;
}
