// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtapplication.h"

#include "platform/qt/editoraccessible.h"
#include "platform/tabstrip.h"

#include <QApplication>
#include <QTimer>

QtApplication::QtApplication(Prompts *prompts, const QString &programFolder, std::unique_ptr<HotKeys> ownHotKeys)
    : hotKeys(std::move(ownHotKeys))
{
    installEditorAccessibility();
    if (!hotKeys)
        hotKeys = createHotKeys(&window);
    window.setProgramFolder(programFolder);
    qtPrompts.holdKeys = [this] { return window.questionsHoldKeys(); };
    platform = std::make_unique<Platform>(
        Platform{window, tabs, editors, prompts ? *prompts : qtPrompts, settings, timer, *hotKeys, draftTimer});
    form = std::make_unique<Form1>(*platform, undos);
    form->lineDialog = &lineDialog;
    window.setForm(form.get());
    form->replaceDialog = &replaceDialog;
    replaceDialog.setForm(form.get());
}

QtApplication::~QtApplication()
{
    window.setForm(nullptr);
    replaceDialog.setForm(nullptr);
    form.reset();
}

namespace {

OpenTargets targetsOf(const QStringList &files)
{
    OpenTargets targets;
    for (const QString &file : files)
        targets.push_back(OpenTarget::file(file));
    return targets;
}

} // namespace

void QtApplication::start(const QStringList &files)
{
    startWith(targetsOf(files));
}

void QtApplication::startWith(const OpenTargets &targets)
{
    form->Form_Load();
    window.show();
    // Once shown the window knows its frame where the window system has told it.
    window.placeOnScreen();
    window.activateWindow();
    // The selected tab's document takes the keyboard, also when reopened files were loaded
    // without taking the focus.
    if (tabs.count() > 0) {
        try {
            form->currentEditor().setFocus();
        } catch (const std::exception &) {
        }
    }
    if (!targets.empty()) {
        form->openTargets(targets);
        form->closePristineUntitled();
    }
}

void QtApplication::anotherStart(const QStringList &files)
{
    anotherStartWith(targetsOf(files));
}

void QtApplication::anotherStartWith(const OpenTargets &targets)
{
    window.bringToFront();
    waiting_.insert(waiting_.end(), targets.begin(), targets.end());
    openWaitingFiles();
}

void QtApplication::openWaitingFiles()
{
    if (waiting_.empty())
        return;
    if (QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(200, &window, [this] { openWaitingFiles(); });
        return;
    }
    const OpenTargets targets = std::exchange(waiting_, {});
    form->openTargets(targets);
}
