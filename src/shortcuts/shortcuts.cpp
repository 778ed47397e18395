#include "shortcuts/shortcuts.h"

#include "app/form1.h"
#include "platform/hotkeys.h"
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

void Form1::onHotKey(int id)
{
    if (const Command *c = findShortcut(*this, id))
        (this->*c->handler)();
}
