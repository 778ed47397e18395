#pragma once

#include "platform/hotkeys.h"

#include <QString>
#include <QtGlobal>
#include <array>

class Form1;

// One Ctrl-key shortcut: where its id is kept, the atom that gives the id, the combination and
// the command it runs.
struct Shortcut {
    qint32 Form1::*id;
    const char *atomName;
    int modifiers;
    int key; // virtual-key code of the letter
    void (Form1::*handler)();
};

// In the order they are registered and compared.
extern const std::array<Shortcut, 6> Shortcuts;

// A yes/no setting: "0", "false", "off" and "no" (in any case) are off, anything else is on.
bool isSettingOn(const QString &value);

// The first row whose id the form holds, or nullptr.
const Shortcut *findShortcut(const Form1 &form, int id);
