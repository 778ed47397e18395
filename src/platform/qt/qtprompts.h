// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

#include <functional>

class MainWindow;
class QMessageBox;

// Modal Qt dialogs over the main window.
class QtPrompts : public Prompts {
public:
    explicit QtPrompts(MainWindow &window) : window_(window) {}
    int msgBox(const QString &text, int style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title) override;
    QString showOpen(const QString &title, const QString &filter) override;
    QString showSave(const QString &title, const QString &filter) override;
    QString showSaveAt(const QString &title, const QString &filter, const QString &start) override;
    int popupMenu(const QStringList &items, double x, double y) override;
    int editorMenu(const std::vector<MenuEntry> &entries, double x, double y) override; // qteditormenu.cpp
    int choose(const QString &text, const QStringList &answers, int defaultAnswer, const QString &title) override;

    // Asked as a box comes up: when true, the box takes no key press for its first KeyHoldTime ms.
    std::function<bool()> holdKeys;
    static constexpr int KeyHoldTime = 1000;

private:
    int runBox(QMessageBox &box, int style);

    MainWindow &window_;
};

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*" as Qt name filters; "*.*" matches every file.
QStringList qtNameFilters(const QString &filter);
