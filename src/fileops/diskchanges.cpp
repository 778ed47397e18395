#include "app/form1.h"

#include "fileops/filewatch.h"
#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"
#include "platform/window.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

void Form1::watchDocumentFile(int index)
{
    fileWatch->watch(DocumentStates.at(index).file.path);
}

void Form1::checkDiskChanges(const QStringList &paths)
{
    for (int position = 0; position < p.tabs.count(); ++position) {
        const int index = p.tabs.itemData(position);
        if (index < 0 || index >= static_cast<int>(DocumentStates.size()) || !RichTextBox1[index])
            continue;
        const QString &path = DocumentStates[index].file.path;
        if (!path.isEmpty() && paths.contains(path))
            followDiskChange(index);
    }
}

void Form1::followDiskChange(int index)
{
    DocumentState &state = DocumentStates.at(index);
    if (!state.file.known())
        return;
    const QString path = state.file.path;
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        // Removed, moved away, or replaced by a folder or a pipe (which are not read): the text
        // stays, marked changed, so that quitting asks.
        if (state.fileGone)
            return;
        state.fileGone = true;
        markChanged(index);
        const QString notice =
            info.exists()
                ? QStringLiteral(" was replaced by something that is not a file. Your text is kept; Save "
                                 "writes it again.")
                : QStringLiteral(" was deleted or moved by another program. Your text is kept; Save writes it again.");
        p.prompts.msgBox(QDir::toNativeSeparators(path) + notice, MsgStyle::OkOnly + MsgStyle::Exclamation, QString());
        return;
    }
    state.fileGone = false;
    // Our own saves leave the file as the stamp describes it.
    if (checkFile(state.file) == DiskState::Same)
        return;
    if (!state.unsaved) {
        reloadFromDisk(index);
        return;
    }
    if (state.reloadDeclined)
        return;
    if (!p.window.isActive()) {
        fileWatch->retryWhenActive(path);
        return;
    }
    state.reloadDeclined = true; // a file that keeps changing asks once
    const int answer = p.prompts.msgBox(QDir::toNativeSeparators(path) +
                                            QStringLiteral(" was changed by another program. Reload it and lose "
                                                           "your changes?"),
                                        MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2, QString());
    if (answer == MsgResult::Yes)
        reloadFromDisk(index);
}

void Form1::reloadFromDisk(int index)
{
    DocumentState &state = DocumentStates.at(index);
    Editor &e = RichTextBox(index);
    const QString path = state.file.path;
    const int caret = e.selStart();
    const bool busy = Busy;
    Busy = true; // a reload is no edit: the history of this document starts afresh
    try {
        // Taken before reading, as Open does.
        const FileStamp stamp = stampFile(path);
        DocumentFormat.at(index) = loadTextFile(path, e);
        state.file = stamp;
    } catch (...) {
        Busy = busy;
        throw;
    }
    Busy = busy;
    e.setSelStart(std::min(caret, e.textLength()));
    const int position = tabOf(index);
    if (state.unsaved && position >= 0)
        clearChangedMark(position);
    state.journal.startOnFile();
    state.reloadDeclined = false;
}
