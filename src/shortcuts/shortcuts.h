// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/commands.h"

#include <QString>
#include <QtGlobal>

class Form1;

// A yes/no setting: "0", "false", "off" and "no" (in any case) are off, anything else is on.
bool isSettingOn(const QString &value);

// The command whose shortcut id the form holds, or nullptr.
const Command *findShortcut(const Form1 &form, int id);
