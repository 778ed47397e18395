#pragma once

#include "platform/hotkeys.h"

#include <memory>

class QWidget;

// Creates the hot keys of this platform for the window.
std::unique_ptr<HotKeys> createHotKeys(QWidget *window);
