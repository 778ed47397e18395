// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "fileops/filewatch.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"
#include "platform/window.h"

#include "platform/rawutf8.h"

#include <QDir>
#include <QFile>
#include <QScopedValueRollback>
#include <algorithm>
#include <vector>

namespace {

// The file only grew since the stamp, and what it held stays (a log being written): only the new
// part is read and appended, in the document's format. The old part is judged by the file's
// identity, its size and its last bytes against the editor's, which is what costs no reading of
// the whole file; false when any of that does not hold, or the new part would change the format.
bool appendNewPart(Editor &e, FileStamp &file, const TextFormat &format)
{
    if (format.encoding != TextEncoding::Utf8 && format.encoding != TextEncoding::Utf8Bom)
        return false;
    if (format.lineBreaks == LineBreaks::AsIs)
        return false;
    const NameStatus st = nameStatus(file.path);
    if (!st.file || st.identity.device != file.device || st.identity.inode != file.inode || st.size <= file.size)
        return false;
    QFile f;
    if (!openForReading(f, file.path))
        return false;
    // The end of the old part, as the file holds it and as the editor holds it.
    const qint64 bom = format.encoding == TextEncoding::Utf8Bom ? 3 : 0;
    const qint64 tail = std::min<qint64>(4096, file.size - bom);
    if (tail > 0) {
        if (!f.seek(file.size - tail))
            return false;
        const QByteArray onDisk = f.read(tail);
        QByteArray held;
        const qint64 length = e.utf8Length();
        e.readUtf8At(std::max<qint64>(0, length - 2 * tail), 2 * tail,
                     [&](QByteArrayView b) { held = b.toByteArray(); });
        if (format.lineBreaks == LineBreaks::LF)
            held.replace("\r\n", "\n");
        if (!held.endsWith(onDisk))
            return false;
    }
    if (!f.seek(file.size))
        return false;
    QByteArray part = f.read(st.size - file.size);
    if (part.size() != st.size - file.size || !RawUtf8::isValid(part))
        return false;
    if (format.lineBreaks == LineBreaks::LF) {
        if (part.contains('\r'))
            return false;
        part.replace("\n", "\r\n");
    } else if (part.count('\r') != part.count('\n') || part.count("\r\n") != part.count('\n')) {
        return false;
    }
    const int start = e.selStart(), length = e.selLength();
    e.setSelStart(e.textLength());
    e.setSelText(RawUtf8::toText(part));
    e.setSelStart(start);
    e.setSelLength(length);
    // Without a fingerprint of the whole file: a later change of its times alone then counts as
    // a change, which costs a reload, never a lost edit.
    file.size = st.size;
    file.modified = st.modified;
    file.changed = st.changed;
    file.hash = FileStamp::NotFingerprinted;
    return true;
}

} // namespace

void Form1::watchDocumentFile(int index)
{
    fileWatch->watch(document(index).file.path);
}

void Form1::checkDiskChanges(const QStringList &paths)
{
    // The documents as they are now: a question about one may be answered after its tab, or
    // another's, was moved or closed.
    std::vector<int> indices;
    for (int position = 0; position < p.tabs.count(); ++position)
        indices.push_back(p.tabs.itemData(position));
    for (const int index : indices) {
        const Document *d = loadedDocument(index);
        // Each on its own: a file that fails does not keep the others from being followed.
        if (d && tabOf(index) >= 0 && !d->file.path.isEmpty() && paths.contains(d->file.path))
            Steps(*this, "followDiskChange")(0, [&] { followDiskChange(index); });
    }
}

void Form1::followDiskChange(int index)
{
    Document &state = document(index);
    if (!state.file.known())
        return;
    const QString path = state.file.path;
    const NameStatus info = nameStatus(path);
    if (!info.file) {
        // Removed, moved away, or replaced by a folder or a pipe (which are not read): the text
        // stays, marked changed, so that quitting asks.
        if (state.fileGone)
            return;
        state.fileGone = true;
        // The draft's journal leads from the file's old bytes, which are gone: the next draft
        // holds the whole text.
        state.journal.wholeTextDue = true;
        markChanged(index);
        const QString notice =
            info.exists ? tr("%1 was replaced by something that is not a file. Your text is kept; Save "
                             "writes it again.")
                        : tr("%1 was deleted or moved by another program. Your text is kept; Save writes it again.");
        p.prompts.msgBox(notice.arg(QDir::toNativeSeparators(shownName(path))),
                         MsgStyle::OkOnly + MsgStyle::Exclamation, QString());
        return;
    }
    state.fileGone = false;
    // A file that another program made unreadable (its permissions taken away) is left alone:
    // the text stays as it is, and the next change of the file is looked at again.
    if (QFile readable; !openForReading(readable, path))
        return;
    // Our own saves leave the file as the stamp describes it.
    if (checkFile(state.file) == DiskState::Same)
        return;
    if (!state.unsaved) {
        bool appended = false;
        {
            const QScopedValueRollback<bool> busy(Busy, true); // no edit: the history does not record it
            appended = appendNewPart(*state.editor, state.file, state.format);
        }
        if (appended)
            state.journal.startOnFile();
        else
            reloadFromDisk(index);
        return;
    }
    // The journal leads from the file's old bytes: the next draft holds the whole text, so that a
    // crash from now on still gives the user's text back.
    if (!state.journal.wholeTextDue) {
        state.journal.wholeTextDue = true;
        markChanged(index);
    }
    if (state.reloadDeclined)
        return;
    if (!p.window.isActive()) {
        fileWatch->retryWhenActive(path);
        return;
    }
    state.reloadDeclined = true; // a file that keeps changing asks once
    const int answer = p.prompts.msgBox(
        tr("%1 was changed by another program. Reload it and lose "
           "your changes?")
            .arg(QDir::toNativeSeparators(shownName(path))),
        MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2 + MsgStyle::Discards, QString());
    if (answer == MsgResult::Yes)
        reloadFromDisk(index);
}

void Form1::reloadFromDisk(int index)
{
    Document &state = document(index);
    Editor &e = *state.editor;
    const QString path = state.file.path;
    const int caret = e.selStart();
    const int top = e.firstVisibleLine();
    {
        const QScopedValueRollback<bool> busy(Busy, true); // a reload is no edit: the history starts afresh
        // Taken before reading, as Open does.
        const FileStamp stamp = stampFile(path);
        state.format = loadTextFile(path, e);
        state.file = stamp;
    }
    e.setSelStart(std::min(caret, e.textLength()));
    e.setFirstVisibleLine(top); // past the end, the widget shows the last lines
    const int position = tabOf(index);
    if (state.unsaved && position >= 0)
        clearChangedMark(position);
    state.journal.startOnFile();
    state.reloadDeclined = false;
}
