// SPDX-License-Identifier: GPL-3.0-or-later
#include "scriptedprompts.h"

#include <gtest/gtest.h>

int ScriptedPrompts::msgBox(const QString &text, int style, const QString &title)
{
    shown.push_back({ShownPrompt::MsgBox, text, style, title, {}, {}, 0, 0});
    if ((style & 0x7) == MsgStyle::OkOnly)
        return MsgResult::Ok;
    if (msgAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return MsgResult::No;
    }
    const int answer = msgAnswers.front();
    msgAnswers.pop_front();
    return answer;
}

int ScriptedPrompts::choose(const QString &text, const QStringList &answers, int defaultAnswer, const QString &title)
{
    shown.push_back({ShownPrompt::MsgBox, text, defaultAnswer, title, {}, answers, 0, 0});
    if (msgAnswers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return -1;
    }
    const int answer = msgAnswers.front();
    msgAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::inputBox(const QString &prompt, const QString &title)
{
    shown.push_back({ShownPrompt::InputBox, prompt, 0, title, {}, {}, 0, 0});
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "unexpected input box: " << prompt.toStdString();
        return QString();
    }
    const QString answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::showOpen(const QString &title, const QString &filter)
{
    shown.push_back({ShownPrompt::OpenDialog, title, 0, {}, filter, {}, 0, 0});
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected open dialog: " << title.toStdString();
        return QString();
    }
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

QString ScriptedPrompts::showSaveAt(const QString &title, const QString &filter, const QString &start)
{
    saveStarts << start;
    return showSave(title, filter);
}

QString ScriptedPrompts::showSave(const QString &title, const QString &filter)
{
    shown.push_back({ShownPrompt::SaveDialog, title, 0, {}, filter, {}, 0, 0});
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected save dialog: " << title.toStdString();
        return QString();
    }
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

int ScriptedPrompts::popupMenu(const QStringList &items, double x, double y)
{
    shown.push_back({ShownPrompt::PopupMenu, {}, 0, {}, {}, items, x, y});
    if (menuAnswers.empty())
        return -1;
    const int answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer;
}

int ScriptedPrompts::editorMenu(const std::vector<MenuEntry> &entries, double x, double y)
{
    QStringList captions;
    for (const MenuEntry &e : entries)
        captions << e.caption;
    shown.push_back({ShownPrompt::EditorMenu, {}, 0, {}, {}, captions, x, y});
    lastEditorMenu = entries;
    if (menuAnswers.empty())
        return -1;
    const int answer = menuAnswers.front();
    menuAnswers.pop_front();
    return answer;
}

std::vector<ShownPrompt> ScriptedPrompts::reports() const
{
    std::vector<ShownPrompt> out;
    for (const auto &s : shown) {
        if (s.kind == ShownPrompt::MsgBox && s.title == QLatin1String("Application Error"))
            out.push_back(s);
    }
    return out;
}

std::vector<ShownPrompt> ScriptedPrompts::ofKind(ShownPrompt::Kind kind) const
{
    std::vector<ShownPrompt> out;
    for (const auto &s : shown) {
        if (s.kind == kind)
            out.push_back(s);
    }
    return out;
}
