// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/files.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>

namespace {

// Why a file cannot be opened, in a few words; empty when it can.
QString openProblem(const QString &path)
{
    const NameStatus status = nameStatus(path);
    if (!status.exists)
        return Form1::tr("no such file");
    if (status.folder)
        return Form1::tr("a folder, not a file");
    QFile file;
    if (!openForReading(file, path))
        return qt_error_string(errno).toLower();
    return QString();
}

// The one notice that names every file that could not be opened, each with its reason.
QString cannotOpenNotice(const QStringList &problems)
{
    return problems.size() == 1
               ? Form1::tr("Cannot open the file %1.").arg(problems.first())
               : Form1::tr("Cannot open these files:\r\n%1").arg(problems.join(QStringLiteral("\r\n")));
}

} // namespace

void Form1::openFiles(const QStringList &paths)
{
    // Checked first, so that a file that cannot be read gets no tab and no error report of its
    // own: one notice names them all once the others are open.
    Steps step(*this, "openFiles");
    QStringList problems;
    for (const QString &path : paths) {
        QString problem;
        step(100, [&] { problem = openProblem(path); });
        if (problem.isEmpty())
            step(102, [&] { OpenFile(path, false); });
        else
            problems << tr("%1 (%2)").arg(shownName(path), problem);
    }
    if (problems.isEmpty())
        return;
    step(104,
         [&] { p.prompts.msgBox(cannotOpenNotice(problems), MsgStyle::OkOnly + MsgStyle::Exclamation, QString()); });
}

void Form1::openTargets(const OpenTargets &targets)
{
    Steps step(*this, "openTargets");
    QStringList problems;
    for (const OpenTarget &target : targets) {
        if (target.standardInput) {
            step(100, [&] { openStandardInput(target.text); });
            continue;
        }
        const QString &path = target.path;
        QString problem;
        step(102, [&] { problem = openProblem(path); });
        const int before = p.tabs.count();
        if (problem.isEmpty()) {
            step(104, [&] { OpenFile(path, false); });
        } else if (!nameStatus(path).exists && nameStatus(QFileInfo(path).absolutePath()).folder) {
            // Named to be written: the file comes with the first save.
            step(106, [&] { openNewFile(path); });
        } else {
            problems << Form1::tr("%1 (%2)").arg(shownName(path), problem);
        }
        if (target.line > 0 && p.tabs.count() > before)
            step(108, [&] { goToLine(target.line, target.column); });
    }
    if (problems.isEmpty())
        return;
    step(110,
         [&] { p.prompts.msgBox(cannotOpenNotice(problems), MsgStyle::OkOnly + MsgStyle::Exclamation, QString()); });
}

void Form1::openNewFile(const QString &path)
{
    Steps step(*this, "openNewFile");
    step(100, [&] { Busy = true; });
    if (takeEditorIndex(step, 102)) {
        const int index = EditorCount - 1;
        addDocumentTab(step, 104, index, index, GetFileName(path));
        step(112, [&] {
            Document &d = document(index);
            d.file.path = path;
            d.fileAbsent = true;
        });
        step(114, [&] { setRecord(index, DocumentRecord::ofFile(path)); });
        step(116, [&] { RichTextBox(index).setVisible(true); });
        step(118, [&] { RichTextBox(index).zOrder(); });
        step(120, [&] { RichTextBox(index).setFocus(); });
    }
    step(122, [&] { Busy = false; });
}

void Form1::openStandardInput(const QByteArray &bytes)
{
    Steps step(*this, "openStandardInput");
    step(100, [&] { Busy = true; });
    int index = -1;
    if (takeEditorIndex(step, 102)) {
        index = EditorCount - 1;
        addUntitledDocument(step, 104, index);
        step(122, [&] {
            // As Open reads a file: kept bytes, encoding and line breaks included.
            Document &d = document(index);
            d.format = loadTextBytes(bytes, *d.editor);
        });
    }
    step(124, [&] { Busy = false; });
    // Its text is in no file: closing or quitting asks, and its draft keeps it.
    if (index >= 0 && !bytes.isEmpty())
        step(126, [&] { markChanged(index); });
}

bool Form1::closePristineUntitled()
{
    // Only the untitled document that start-up made for an empty window: editor 0, never
    // written to, empty and unchanged, with another tab beside it.
    const int position = tabOf(0);
    const Document *d = loadedDocument(0);
    if (position < 0 || !d || p.tabs.count() < 2 || d->unsaved || !d->record.path.isEmpty() ||
        d->editor->textLength() != 0)
        return false;
    const int selected = p.tabs.itemData(p.tabs.selectedPosition());
    Busy = true;
    p.tabs.removeTab(position);
    d->editor->setVisible(false);
    Busy = false;
    for (int i = 0; i < p.tabs.count(); ++i) {
        if (p.tabs.itemData(i) == selected)
            p.tabs.select(i);
    }
    TabControl1_SelectedChanged(p.tabs.selectedPosition());
    return true;
}
