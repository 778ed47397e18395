// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"
#include "shortcuts/shortcuts.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>

namespace {

// One entry of the editor's menu: a command with the condition under which it does something,
// an option with its state and how it is switched, or (without a caption) a separator.
struct EditorMenuEntry {
    const char *caption = nullptr;
    void (Form1::*run)() = nullptr;
    bool (Form1::*available)() const = nullptr; // none: always available
    bool (Form1::*isOn)() const = nullptr;      // an option: whether it is on
    void (Form1::*turn)(bool on) = nullptr;     // and how it is switched
};

// The menu, top to bottom. A command or option is one line here.
const EditorMenuEntry EditorMenu[] = {
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "&Undo"),
     .run = &Form1::PushButton6_Click,
     .available = &Form1::canUndo},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "&Redo"),
     .run = &Form1::PushButton9_Click,
     .available = &Form1::canRedo},
    {},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Cu&t"),
     .run = &Form1::mnuCut_Click,
     .available = &Form1::hasSelection},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "&Copy"),
     .run = &Form1::mnuCopy_Click,
     .available = &Form1::hasSelection},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "&Paste"),
     .run = &Form1::mnuPaste_Click,
     .available = &Form1::canPaste},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "&Delete"),
     .run = &Form1::mnuDelete_Click,
     .available = &Form1::hasSelection},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Select &All"), .run = &Form1::PushButton5_Click},
    {},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Find..."), .run = &Form1::PushButton3_Click},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Replace..."), .run = &Form1::showReplace},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Go to Line..."), .run = &Form1::showGoToLine},
    {},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Word &Wrap"), .isOn = &Form1::wordWrap, .turn = &Form1::setWordWrap},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "Line &Numbers"),
     .isOn = &Form1::lineNumbers,
     .turn = &Form1::setLineNumbers},
    {.caption = QT_TRANSLATE_NOOP("EditorMenu", "&Status Line"),
     .isOn = &Form1::statusLineShown,
     .turn = &Form1::setStatusLineShown},
};

// The selected tab's editor, nullptr when there is none.
const Editor *shownEditor(const Form1 &form)
{
    try {
        const int index = form.currentEditorIndex();
        if (index < 0 || index >= static_cast<int>(form.documents.size()))
            return nullptr;
        return form.documents[static_cast<size_t>(index)].editor;
    } catch (const std::exception &) {
        return nullptr;
    }
}

constexpr int MinZoom = -10, MaxZoom = 20; // the widget's own limits

} // namespace

void Form1::editorMenu(double x, double y)
{
    Steps step(*this, "editorMenu");
    std::vector<MenuEntry> entries;
    step(100, [&] {
        for (const EditorMenuEntry &e : EditorMenu) {
            MenuEntry entry;
            if (e.caption) {
                entry.caption = QCoreApplication::translate("EditorMenu", e.caption);
                entry.enabled = !e.available || (this->*e.available)();
                entry.checkable = e.isOn != nullptr;
                entry.checked = e.isOn && (this->*e.isOn)();
            }
            entries.push_back(entry);
        }
    });
    int picked = -1;
    step(102, [&] { picked = p.prompts.editorMenu(entries, x, y); });
    if (picked < 0 || picked >= static_cast<int>(std::size(EditorMenu)))
        return;
    const EditorMenuEntry &chosen = EditorMenu[picked];
    step(104, [&] {
        if (chosen.run)
            (this->*chosen.run)();
        else if (chosen.turn)
            (this->*chosen.turn)(!(this->*chosen.isOn)());
    });
}

bool Form1::canUndo() const
{
    try {
        return undo.canUndo() && UndoDocument == currentEditorIndex();
    } catch (const std::exception &) {
        return false;
    }
}

bool Form1::canRedo() const
{
    try {
        return undo.canRedo() && UndoDocument == currentEditorIndex();
    } catch (const std::exception &) {
        return false;
    }
}

bool Form1::hasSelection() const
{
    const Editor *e = shownEditor(*this);
    return e && e->selLength() > 0;
}

bool Form1::canPaste() const
{
    const Editor *e = shownEditor(*this);
    return e && e->canPaste();
}

// The clipboard commands edit through the editor, so that the change reaches the history and
// the draft as typing does.
void Form1::mnuCut_Click()
{
    Steps step(*this, "mnuCut_Click");
    step(100, [&] { currentEditor().cut(); });
}

void Form1::mnuCopy_Click()
{
    Steps step(*this, "mnuCopy_Click");
    step(100, [&] { currentEditor().copy(); });
}

void Form1::mnuPaste_Click()
{
    Steps step(*this, "mnuPaste_Click");
    step(100, [&] { currentEditor().paste(); });
}

void Form1::mnuDelete_Click()
{
    Steps step(*this, "mnuDelete_Click");
    step(100, [&] { currentEditor().deleteSelection(); });
}

void Form1::zoomEditor(int zoomStep)
{
    Steps step(*this, "zoomEditor");
    step(100, [&] {
        Document &d = document(currentEditorIndex());
        d.zoom = zoomStep == 0 ? 0 : std::clamp(d.zoom + zoomStep, MinZoom, MaxZoom);
        d.editor->setZoom(d.zoom);
    });
}

void Form1::loadViewSettings()
{
    WordWrap = isSettingOn(GetSetting(QStringLiteral("WordWrap"), QStringLiteral("0")));
    LineNumbers = isSettingOn(GetSetting(QStringLiteral("LineNumbers"), QStringLiteral("0")));
    for (Document &d : documents) {
        if (d.loaded())
            applyView(*d.editor);
    }
}

void Form1::applyView(Editor &e)
{
    e.setWordWrap(WordWrap);
    e.setLineNumbers(LineNumbers);
}

void Form1::setWordWrap(bool on)
{
    Steps step(*this, "mnuWordWrap_Click");
    step(100, [&] {
        WordWrap = on;
        for (Document &d : documents) {
            if (d.loaded())
                d.editor->setWordWrap(on);
        }
    });
    step(102, [&] { SaveSetting(QStringLiteral("WordWrap"), on ? QStringLiteral("1") : QStringLiteral("0")); });
}

void Form1::setLineNumbers(bool on)
{
    Steps step(*this, "mnuLineNumbers_Click");
    step(100, [&] {
        LineNumbers = on;
        for (Document &d : documents) {
            if (d.loaded())
                d.editor->setLineNumbers(on);
        }
    });
    step(102, [&] { SaveSetting(QStringLiteral("LineNumbers"), on ? QStringLiteral("1") : QStringLiteral("0")); });
}

void Form1::focusEditor()
{
    Steps step(*this, "focusEditor");
    step(100, [&] {
        if (p.tabs.selectedPosition() >= 0)
            currentEditor().setFocus();
    });
}
