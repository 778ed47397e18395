// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "app/commands.h"
#include "app/look.h"
#include "documents/drafts.h"
#include "fileops/filewatch.h"
#include "platform/editor.h"
#include "platform/files.h"
#include "platform/hotkeys.h"
#include "platform/oneshot.h"
#include "platform/prompts.h"
#include "platform/settingsstore.h"
#include "platform/tabstrip.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shortcuts/shortcuts.h"

#include <QDir>

namespace {
const QString SettingsApp = QStringLiteral("Vortlane");
const QString SettingsSection = QStringLiteral("Marquill");
} // namespace

Form1::Form1(Platform &platform, ModUndos &undos) : p(platform), undo(undos)
{
    // Handlers without a report of their own are not expected to fail; should one fail all the
    // same when the platform calls it, the failure is reported rather than ending the program.
    p.tabs.setSelectionHandler([this](int position) {
        Steps(*this, "TabControl1_SelectedChanged")(0, [&] { TabControl1_SelectedChanged(position); });
    });
    p.timer.setTickHandler([this] { Steps(*this, "Timer1_Timer")(0, [&] { Timer1_Timer(); }); });
    p.hotKeys.setHotKeyHandler([this](int id) { Steps(*this, "HotKeyLoop")(0, [&] { onHotKey(id); }); });
    p.hotKeys.setOutsideHandler([this](int id) { return shortcutFromOutside(id); });
    p.tabs.setToolTipHandler([this](int position) {
        QString tip;
        Steps(*this, "tabToolTip")(0, [&] { tip = tabToolTip(position); });
        return tip;
    });
    p.tabs.setCloseHandler([this](int position) { Steps(*this, "closeTab")(0, [&] { closeTab(position); }); });
    p.tabs.setCloseOthersHandler(
        [this](int position) { Steps(*this, "closeOtherTabs")(0, [&] { closeOtherTabs(position); }); });
    p.tabs.setPathHandler([this](int position) {
        QString path;
        Steps(*this, "tabPath")(0, [&] { path = tabPath(position); });
        return path;
    });
    fileWatch = std::make_unique<FileWatch>();
    fileWatch->windowActive = [this] { return p.window.isActive(); };
    fileWatch->check = [this](const QStringList &paths) {
        Steps(*this, "checkDiskChanges")(0, [&] { checkDiskChanges(paths); });
    };
    drafts = std::make_unique<DraftStore>(draftsRoot());
    drafts->onFailure = [this](int index, const QString &description) { draftFailed(index, description); };
    p.draftTimer.setTimeoutHandler([this] { Steps(*this, "SaveDrafts")(0, [&] { writeDueDrafts(); }); });
    // Element 0 is designed on the window.
    documents.emplace_back();
    documents[0].editor = p.editors.createElement(0);
    documents[0].editor->setChangeHandler(
        [this] { Steps(*this, "RichTextBox1_Change")(0, [&] { RichTextBox1_Change(0); }); });
}

Form1::~Form1()
{
    for (Document &d : documents) {
        if (d.loaded())
            d.editor->setChangeHandler(nullptr);
    }
    p.tabs.setSelectionHandler(nullptr);
    p.tabs.setToolTipHandler(nullptr);
    p.tabs.setCloseHandler(nullptr);
    p.tabs.setCloseOthersHandler(nullptr);
    p.tabs.setPathHandler(nullptr);
    p.timer.setTickHandler(nullptr);
    p.hotKeys.setHotKeyHandler(nullptr);
    p.hotKeys.setOutsideHandler(nullptr);
    p.draftTimer.setTimeoutHandler(nullptr);
    fileWatch->check = nullptr;
}

void Form1::reportError(const QString &description, const char *procedure, int step)
{
    const QString text = tr("%1\r\nin Quorvel2021/08/31.Form1.%2 at line %3\r\rPlease email screenshot of this "
                            "message to %4")
                             .arg(description, QString::fromLatin1(procedure), QString::number(step), SupportAddress);
    p.prompts.msgBox(text, MsgStyle::OkOnly + MsgStyle::Exclamation, tr("Application Error"));
}

QString Form1::GetSetting(const QString &key, const QString &defaultValue)
{
    return p.settings.getSetting(SettingsApp, SettingsSection, key, defaultValue);
}

void Form1::SaveSetting(const QString &key, const QString &value)
{
    p.settings.saveSetting(SettingsApp, SettingsSection, key, value);
}

void Form1::ShortTitle()
{
    // Cut at the last space while the title is longer than 40 characters; a title without a
    // space stays whole.
    QString title = ProductTitle;
    do {
        const int space = title.lastIndexOf(QLatin1Char(' '));
        if (space < 0)
            break;
        title = title.left(space);
    } while (title.size() > 40);
    p.window.setApplicationTitle(title);
}

void Form1::Form_Load()
{
    Steps step(*this, "Form_Load");
    step(100, [&] { LoadSkin(); });
    if (step.test(104, [&] { return FileExists(p.window.programFolder() + QStringLiteral("/HAND-M.CUR")); }))
        step(106, [&] { p.window.loadMouseIcon(p.window.programFolder() + QStringLiteral("/HAND-M.CUR")); });
    step(126, [&] {
        p.window.setCaption(ProductTitle);
        p.window.useProgramIcon();
        ShortTitle();
    });
    step(128, [&] { EditorCount = 1; });
    step(130, [&] { Busy = true; });
    step(132, [&] { p.window.setFindNextAvailable(false); });
    // A save in place that a crash cut short gets the file's old content back before it is opened.
    step(133, [&] {
        for (const QString &file : repairInterruptedWrites())
            p.prompts.msgBox(tr("%1 was not saved completely. The version before that save was put back.")
                                 .arg(QDir::toNativeSeparators(shownName(file))),
                             MsgStyle::OkOnly + MsgStyle::Exclamation, QString());
    });
    bool anyReopened = false;
    step(134, [&] { WasOpenRecent(anyReopened); });
    // Unsaved text of a run that did not end normally comes back after the recorded files.
    step(135, [&] {
        bool anyRestored = false;
        restoreDrafts(anyRestored);
        anyReopened = anyReopened || anyRestored;
    });
    if (!anyReopened) {
        step(136, [&] {
            p.tabs.setTabVisible(p.tabs.insertTab(0, untitledCaption(EditorCount)), true);
            documents[0].caption = untitledCaption(EditorCount);
            if (documents[0].editor) // a screen reader names the editor as the tab
                documents[0].editor->setAccessibleName(documents[0].caption);
        });
        step(138, [&] { setRecord(0, DocumentRecord::untitled()); });
        step(140, [&] { Busy = false; });
    }
    // After the settings file was first read (and, were it unusable, reported) for the recent files.
    step(141, [&] { loadViewSettings(); });
    step(142, [&] { p.timer.setEnabled(true); });
    step(144, [&] { p.timer.setInterval(10); });
    step(146, [&] { undo.UndoRecording = true; });
    step(148, [&] {
        if (isSettingOn(GetSetting(QStringLiteral("StatusLine"), QStringLiteral("0"))))
            setStatusLineShown(true);
    });
}

void Form1::clickButton(Button button)
{
    (this->*commandOf(button).handler)();
}
