#pragma once

class Window;
class TabStrip;
class EditorFactory;
class Prompts;
class SettingsStore;
class Timer;
class HotKeys;

// Everything through which the logic reaches the outside world.
struct Platform {
    Window &window;
    TabStrip &tabs;
    EditorFactory &editors;
    Prompts &prompts;
    SettingsStore &settings;
    Timer &timer;
    HotKeys &hotKeys;
};
