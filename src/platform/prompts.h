// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// Message box styles and answers, with the values the program's logic uses.
namespace MsgStyle {
constexpr int OkOnly = 0;
constexpr int YesNo = 4;
constexpr int Exclamation = 48;
constexpr int DefaultButton2 = 256; // the second button (No) is the default instead of the first
// The answer that is not the default throws text away: no letter key gives it and Enter never
// does, so that typing meant for something else cannot; only a click, or Tab or an arrow key and
// then Space, reaches it.
constexpr int Discards = 0x1000'0000;
// The box takes no key press for its first second: a key meant for what was there before it came
// up must not answer it.
constexpr int HoldKeys = 0x10000;

} // namespace MsgStyle

namespace MsgResult {
constexpr int Ok = 1;
constexpr int Cancel = 2; // the box was closed without an answer (Escape, its close button)
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgResult

// One entry of a popup menu: a command, or a separator when the caption is empty. "&" marks the
// entry's key letter.
struct MenuEntry {
    QString caption;
    bool enabled = true;
    bool checkable = false; // an option shown with a check mark
    bool checked = false;
};

// Modal questions and notices. An empty title means the application title.
class Prompts {
public:
    virtual ~Prompts() = default;
    virtual int msgBox(const QString &text, int style, const QString &title) = 0;
    virtual QString inputBox(const QString &prompt, const QString &title) = 0; // "" on cancel
    // filter: pairs of description and pattern, all separated by "|". Returns "" on cancel.
    virtual QString showOpen(const QString &title, const QString &filter) = 0;
    virtual QString showSave(const QString &title, const QString &filter) = 0;
    // The save dialog, opened at `start`: a file (its folder, its name filled in), a folder
    // ending in "/", or "" for where the dialog opens by itself.
    virtual QString showSaveAt(const QString &title, const QString &filter, const QString &start)
    {
        (void)start;
        return showSave(title, filter);
    }
    // Shows the items as a popup menu with its top-left corner at (x, y) twips of the window;
    // returns the picked index, or -1 when nothing was picked.
    virtual int popupMenu(const QStringList &items, double x, double y) = 0;
    // The editor's menu: the entries in order, with the top-left corner at (x, y) twips of the
    // window; returns the index of the entry picked, or -1 when nothing was picked.
    virtual int editorMenu(const std::vector<MenuEntry> &entries, double x, double y) = 0;
    // A question with answers of its own: returns the index of the answer given, or -1 when the
    // box was closed without one. No letter key gives an answer; Enter gives the default.
    virtual int choose(const QString &text, const QStringList &answers, int defaultAnswer, const QString &title) = 0;
};
