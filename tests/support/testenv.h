// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/qt/qtapplication.h"
#include "scriptedprompts.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

// A temporary home, configuration folder and program folder for one test.
class TempEnv {
public:
    TempEnv();
    ~TempEnv();
    QString path(const QString &name) const { return dir_.filePath(name); }
    QString programFolder() const { return dir_.filePath(QStringLiteral("program")); }
    QString configFolder() const { return dir_.filePath(QStringLiteral("config")); }
    QString stateFolder() const { return dir_.filePath(QStringLiteral("state")); }
    QString writeFile(const QString &name, const QByteArray &bytes) const; // returns its path
    static QByteArray readFile(const QString &path);

private:
    QTemporaryDir dir_;
    QByteArray oldHome_, oldConfig_, oldState_;
};

// The real window on the offscreen platform, answered by scripted prompts.
class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    void startProgram();   // builds the program and runs its start-up
    void restartProgram(); // closes the window's logic and starts a new one on the same settings

    Form1 &form() { return *app->form; }
    TabStrip &tabs() { return app->tabs; }
    QStringList captions() const;
    QtEditor &editorAt(int index);    // element of the editor array
    QtEditor &current();              // the selected tab's editor
    QStringList menuCaptions() const; // the recent-files menu's items, item 0 first

    // Sends key presses to the editor as a user's typing would arrive.
    void type(QtEditor &e, const QString &text);
    void press(QtEditor &e, int key, Qt::KeyboardModifiers mods = Qt::NoModifier);

    std::unique_ptr<TempEnv> env;
    ScriptedPrompts prompts;
    std::unique_ptr<QtApplication> app;
    bool startOnSetUp = true;
};
