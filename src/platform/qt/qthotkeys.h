// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/hotkeys.h"

#include <memory>

class QWidget;

// Creates the hot keys of this platform for the window: system-wide grabs on X11, shortcuts of
// the window where the window system offers no grabs or the program was built without X11.
std::unique_ptr<HotKeys> createHotKeys(QWidget *window);
