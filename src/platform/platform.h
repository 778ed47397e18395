// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class Window;
class TabStrip;
class EditorFactory;
class Prompts;
class SettingsStore;
class Timer;
class HotKeys;
class OneShotTimer;

// Everything through which the logic reaches the outside world.
struct Platform {
    Window &window;
    TabStrip &tabs;
    EditorFactory &editors;
    Prompts &prompts;
    SettingsStore &settings;
    Timer &timer;
    HotKeys &hotKeys;
    OneShotTimer &draftTimer; // when the drafts of unsaved documents are written
};
