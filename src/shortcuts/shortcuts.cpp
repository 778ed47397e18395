#include "shortcuts/shortcuts.h"

#include "app/form1.h"
#include "platform/hotkeys.h"
#include "platform/timer.h"
#include "shortcuts/atoms.h"

const std::array<Shortcut, 6> Shortcuts = {{
    {&Form1::HotKeyNew, "A00F1", HotKeyModifier::Control, 'N', &Form1::PushButton2_Click},
    {&Form1::HotKeyOpen, "A00F2", HotKeyModifier::Control, 'O', &Form1::PushButton1_Click},
    {&Form1::HotKeySave, "A00F3", HotKeyModifier::Control, 'S', &Form1::PushButton7_Click},
    {&Form1::HotKeySaveAs, "A00F4", HotKeyModifier::Control, 'A', &Form1::PushButton14_Click},
    {&Form1::HotKeyClose, "A00F5", HotKeyModifier::Control, 'W', &Form1::PushButton11_Click},
    {&Form1::HotKeyUndo, "A00F6", HotKeyModifier::Control, 'Z', &Form1::PushButton6_Click},
}};

bool isSettingOn(const QString &value)
{
    const QString v = value.trimmed().toLower();
    return !(v == QLatin1String("0") || v == QLatin1String("false") || v == QLatin1String("off") ||
             v == QLatin1String("no"));
}

const Shortcut *findShortcut(const Form1 &form, int id)
{
    // Before registration every id is 0, which no atom is.
    if (!form.hotKeysRegistered)
        return nullptr;
    for (const Shortcut &s : Shortcuts) {
        if (form.*s.id == id)
            return &s;
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
    for (const Shortcut &s : Shortcuts)
        this->*s.id = globalAtoms().add(QString::fromLatin1(s.atomName));
    // A combination another program holds simply stays dead here.
    for (const Shortcut &s : Shortcuts)
        p.hotKeys.registerHotKey(this->*s.id, s.modifiers, s.key);
}

void Form1::onHotKey(int id)
{
    if (const Shortcut *s = findShortcut(*this, id))
        (this->*s->handler)();
}
