// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

// One box, dialog or menu that the program showed.
struct ShownPrompt {
    enum Kind { MsgBox, InputBox, OpenDialog, SaveDialog, PopupMenu, EditorMenu } kind;
    QString text;   // message, prompt or dialog title
    int style = 0;  // message box style
    QString title;  // message box or input box title
    QString filter; // file dialog filter
    QStringList items;
    double x = 0, y = 0;
};

// Answers the program's questions from queues and records everything it showed.
// A question without a scripted answer is a test failure.
class ScriptedPrompts : public Prompts {
public:
    std::deque<int> msgAnswers; // for questions; OK-only boxes need none
    std::deque<QString> inputAnswers;
    std::deque<QString> fileAnswers; // "" cancels
    std::deque<int> menuAnswers;     // -1 picks nothing
    std::vector<ShownPrompt> shown;
    QStringList saveStarts; // where each save dialog opened, in turn

    int msgBox(const QString &text, int style, const QString &title) override;
    QString inputBox(const QString &prompt, const QString &title) override;
    QString showOpen(const QString &title, const QString &filter) override;
    QString showSave(const QString &title, const QString &filter) override;
    QString showSaveAt(const QString &title, const QString &filter, const QString &start) override;
    int popupMenu(const QStringList &items, double x, double y) override;
    // Recorded with its entries (below) and answered from menuAnswers, like popupMenu.
    int editorMenu(const std::vector<MenuEntry> &entries, double x, double y) override;
    std::vector<MenuEntry> lastEditorMenu; // the entries of the editor menu shown last
    // Recorded as a message box whose items are the answers and whose style is the default
    // answer's index; answered from msgAnswers with an index (-1: closed without an answer).
    int choose(const QString &text, const QStringList &answers, int defaultAnswer, const QString &title) override;

    std::vector<ShownPrompt> reports() const; // error reports only
    std::vector<ShownPrompt> ofKind(ShownPrompt::Kind kind) const;
    void clear() { shown.clear(); }
};
