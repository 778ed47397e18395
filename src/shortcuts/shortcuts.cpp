// SPDX-License-Identifier: GPL-3.0-or-later
#include "shortcuts/shortcuts.h"

#include "app/form1.h"
#include "platform/hotkeys.h"
#include "platform/prompts.h"
#include "platform/timer.h"
#include "shortcuts/atoms.h"

bool isSettingOn(const QString &value)
{
    const QString v = value.trimmed().toLower();
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off") ||
             v == QLatin1String("no"));
}

const Command *findShortcut(const Form1 &form, int id)
{
    // Before registration every id is 0, which no atom is.
    if (!form.hotKeysRegistered)
        return nullptr;
    for (const Command *c : shortcutCommands()) {
        if (form.*c->hotKeyId == id)
            return c;
    }
    return nullptr;
}

void Form1::Timer1_Timer()
{
    // The shortcuts are registered on the first tick; after it the timer has nothing left to
    // do (the event loop waits for the shortcuts), so it stops rather than wake the program.
    if (hotKeysRegistered)
        return;
    hotKeysRegistered = true;
    p.timer.setEnabled(false);
    // GlobalShortcuts=0 keeps the shortcuts to the program's own window; a setting that cannot be
    // read leaves them as they are by default.
    bool systemWide = true;
    try {
        systemWide = isSettingOn(GetSetting(QStringLiteral("GlobalShortcuts"), QStringLiteral("1")));
    } catch (const std::exception &) {
    }
    p.hotKeys.setSystemWide(systemWide);
    for (const Command *c : shortcutCommands())
        this->*c->hotKeyId = globalAtoms().add(QString::fromLatin1(c->atomName));
    // A combination another program holds simply stays dead here.
    for (const Command *c : shortcutCommands())
        p.hotKeys.registerHotKey(this->*c->hotKeyId, HotKeyModifier::Control, c->key);
}

bool Form1::shortcutFromOutside(int id)
{
    const Command *c = findShortcut(*this, id);
    if (!c || globalShortcutsSettled)
        return true;
    // Asked once, the first time it matters; a setting in the file has answered it already.
    Steps step(*this, "GlobalShortcutQuestion");
    QString value;
    step(100, [&] { value = GetSetting(QStringLiteral("GlobalShortcuts"), QString()); });
    if (!value.trimmed().isEmpty()) {
        globalShortcutsSettled = true;
        return true;
    }
    int answer = -1;
    step(102, [&] {
        answer = p.prompts.choose(tr("Marquill received Ctrl+%1 while another application was active. "
                                     "Marquill's six shortcuts (Ctrl+N, O, S, A, W, Z) work in every "
                                     "application unless you turn this off. Keep them for every application?")
                                      .arg(QLatin1Char(c->key)),
                                  {tr("Keep"), tr("Only in Marquill")}, 1, tr("Global Shortcuts"));
    });
    // Closed without an answer: the key is not taken this time, and the question comes again.
    if (answer != 0 && answer != 1)
        return false;
    globalShortcutsSettled = true;
    step(104, [&] {
        SaveSetting(QStringLiteral("GlobalShortcuts"), answer == 0 ? QStringLiteral("1") : QStringLiteral("0"));
    });
    if (answer == 0)
        return true;
    step(106, [&] { p.hotKeys.setSystemWide(false); });
    return false;
}

void Form1::onHotKey(int id)
{
    if (const Command *c = findShortcut(*this, id))
        (this->*c->handler)();
}
