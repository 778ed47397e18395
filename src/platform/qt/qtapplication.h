// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/form1.h"
#include "platform/platform.h"
#include "platform/qt/mainwindow.h"
#include "platform/qt/qteditor.h"
#include "platform/qt/qthotkeys.h"
#include "platform/qt/qtlinedialog.h"
#include "platform/qt/qtprompts.h"
#include "platform/qt/qtreplacedialog.h"
#include "platform/qt/qtsettings.h"
#include "platform/qt/qttabstrip.h"
#include "platform/qt/qttimer.h"
#include "undo/modundos.h"

#include <memory>

// The program put together: the Qt platform, the history and the main window's logic.
// Tests build it with scripted prompts in place of the real dialogs.
class QtApplication {
public:
    // Without hot keys of its own the program takes the platform's (tests pass fakes).
    explicit QtApplication(Prompts *prompts = nullptr, const QString &programFolder = QString(),
                           std::unique_ptr<HotKeys> ownHotKeys = nullptr);
    ~QtApplication();

    // Form_Load, then shows the window with the current document focused, then opens the
    // files named on the command line.
    void start(const QStringList &files = {});
    // The same with the command line's places and standard input's text; an untouched
    // Untitled1 that start-up made is closed once a named document has opened.
    void startWith(const OpenTargets &targets);
    // A later start's request: the window comes to the front and opens the files. While a
    // dialog of this window is open the files wait for it to close, so that no command in
    // progress finds another document selected when it goes on.
    void anotherStart(const QStringList &files);
    void anotherStartWith(const OpenTargets &targets);

    MainWindow window;
    QtTabStrip tabs{&window};
    QtEditorFactory editors{tabs.frame()};
    QtPrompts qtPrompts{window};
    QtReplaceDialog replaceDialog{&window};
    QtLineDialog lineDialog{&window};
    QtSettingsStore settings;
    QtTimer timer;
    QtOneShotTimer draftTimer;
    std::unique_ptr<HotKeys> hotKeys;
    ModUndos undos;
    std::unique_ptr<Platform> platform;
    std::unique_ptr<Form1> form;

private:
    void openWaitingFiles();
    OpenTargets waiting_;
};
