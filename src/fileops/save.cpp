// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "documents/record.h"
#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <QDir>

namespace {

const char *const SaveFilter = QT_TRANSLATE_NOOP("Form1", "Text File (*.txt)|*.txt");

QString saveTitle(const Form1 &f, int position)
{
    return Form1::tr("Save [%1] As").arg(shownName(f.captionWithoutMark(position)));
}

bool askOverwrite(Form1 &f, const QString &path)
{
    return f.p.prompts.msgBox(Form1::tr("%1 was changed by another program since it was opened. Overwrite it?")
                                  .arg(QDir::toNativeSeparators(shownName(path))),
                              MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2 + MsgStyle::Discards,
                              QString()) == MsgResult::Yes;
}

// Writes editor `index`'s text in its document's format; true when the file was written. False
// when the user kept a file that another program changed, or did not let a text the file's
// encoding cannot hold change that encoding; throws when the write fails.
bool writeDocument(Form1 &f, int index, const QString &path)
{
    WriteTarget target;
    if (!f.mayOverwrite(index, path, target))
        return false;
    const Editor &e = f.RichTextBox(index);
    TextFormat &format = f.document(index).format;
    if (!canHold(e, format)) {
        const int answer = f.p.prompts.msgBox(
            Form1::tr("%1 contains characters that Windows-1252 cannot hold. Save it as UTF-8?").arg(GetFileName(path)),
            MsgStyle::YesNo, QString());
        if (answer != MsgResult::Yes)
            return false;
    }
    try {
        SaveTextFile(e, target, format);
    } catch (const FileChanged &) {
        // Another file took the name after the check: the same question, and Yes replaces that one.
        if (!askOverwrite(f, path))
            return false;
        target.expected.reset();
        SaveTextFile(e, target, format);
    }
    f.noteWritten(index, path, target.file);
    return true;
}

} // namespace

void Form1::saveDocument(Steps &step, SaveTarget target, const QString &path, const SaveSteps &number)
{
    // The document is looked up afresh at each step: Save's is the selected tab's.
    // Save All's is a fixed editor's, wherever a drag puts its tab while a dialog is open.
    const auto position = [&] {
        const int at = target.selected ? p.tabs.selectedPosition() : tabOf(target.index);
        if (at < 0)
            throw Failure(QStringLiteral("Index out of bounds"));
        return at;
    };
    const auto index = [&] { return target.selected ? currentEditorIndex() : int(p.tabs.itemData(position())); };
    if (path.isEmpty()) {
        step(number.clearName, [&] { CommonDialog1.FileName = QString(); });
        step(number.title, [&] { CommonDialog1.DialogTitle = saveTitle(*this, position()); });
        step(number.filter, [&] { CommonDialog1.Filter = Form1::tr(SaveFilter); });
        // FileName starts empty as ever, so that nothing of an earlier dialog is taken for an
        // answer; where the dialog opens is handed to it beside the name.
        step(number.show, [&] {
            CommonDialog1.FileName =
                p.prompts.showSaveAt(CommonDialog1.DialogTitle, CommonDialog1.Filter, saveDialogStart(index()));
        });
        if (step.test(number.cancelled, [&] { return CommonDialog1.FileName.isEmpty(); }))
            return;
        bool written = false;
        step(number.writeAs, [&] { written = writeDocument(*this, index(), CommonDialog1.FileName); });
        if (!written)
            return;
        step(number.caption, [&] { savedAs(position(), CommonDialog1.FileName); });
        step(number.record, [&] {
            setRecord(index(), DocumentRecord::ofFile(CommonDialog1.FileName));
            noteDialogFolder(CommonDialog1.FileName);
        });
        return;
    }
    // A write that failed leaves the "*" and the record: nothing was saved.
    bool written = false;
    step(number.write, [&] { written = writeDocument(*this, index(), path); });
    if (written)
        step(number.clearMark, [&] { clearChangedMark(position()); });
}

void Form1::PushButton7_Click()
{
    Steps step(*this, "PushButton7_Click");
    QString path;
    step(100, [&] { path = record(currentEditorIndex()).path; });
    const bool ask = step.test(102, [&] { return path.isEmpty(); });
    saveDocument(step, SaveTarget::selectedTab(), ask ? QString() : path,
                 {.clearName = 104,
                  .title = 106,
                  .filter = 108,
                  .show = 110,
                  .cancelled = 112,
                  .writeAs = 116,
                  .caption = 118,
                  .record = 120,
                  .write = 124,
                  .clearMark = 126});
}

void Form1::PushButton14_Click()
{
    Steps step(*this, "PushButton14_Click");
    saveDocument(step, SaveTarget::selectedTab(), QString(),
                 {.clearName = 100,
                  .title = 102,
                  .filter = 104,
                  .show = 108,
                  .cancelled = 110,
                  .writeAs = 114,
                  .caption = 116,
                  .record = 118});
}

void Form1::PushButton8_Click()
{
    Steps step(*this, "PushButton8_Click");
    // The documents in the tabs' order when it starts: a tab dragged elsewhere while a dialog is
    // open is neither skipped nor saved twice.
    std::vector<int> indices;
    step(100, [&] {
        for (int position = 0; position < p.tabs.count(); ++position)
            indices.push_back(p.tabs.itemData(position));
    });
    for (const int index : indices) {
        // Works on that editor's document throughout; the selection never moves.
        if (step.test(102, [&] { return !isChanged(tabOf(index)); }))
            continue;
        QString path;
        step(104, [&] { path = record(index).path; });
        const bool ask = step.test(106, [&] { return path.isEmpty(); });
        saveDocument(step, SaveTarget::ofEditor(index), ask ? QString() : path,
                     {.clearName = 108,
                      .title = 110,
                      .filter = 112,
                      .show = 114,
                      .cancelled = 116,
                      .writeAs = 118,
                      .caption = 120,
                      .record = 122,
                      .write = 124,
                      .clearMark = 126});
    }
}

void Form1::savedAs(int position, const QString &path)
{
    // The mark goes first: the new caption may end in a "*" of its own.
    clearChangedMark(position);
    setCaption(p.tabs.itemData(position), GetFileName(path));
}

bool Form1::mayOverwrite(int index, const QString &path, WriteTarget &target)
{
    // Only the file this document read or wrote is compared; another file is a new one to it.
    // Its name was resolved when it was read or written, and is not resolved again.
    const FileStamp &known = document(index).file;
    const bool sameName = !known.path.isEmpty() && isSameFile(known.path, path);
    target.file = sameName && !known.target.isEmpty() ? known.target : resolveLinks(path);
    target.expected.reset();
    // A file named before it existed, which another program has made since.
    if (document(index).fileAbsent && known.path == path && nameStatus(path).exists)
        return askOverwrite(*this, path);
    if (!sameName || !known.known())
        return true;
    // A stamp that came back with a draft has no target yet: it is checked where it will be written.
    FileStamp checked = known;
    checked.target = target.file;
    FileIdentity seen;
    if (checkFile(checked, &seen) == DiskState::Same) {
        target.expected = seen;
        return true;
    }
    return askOverwrite(*this, path);
}

void Form1::noteWritten(int index, const QString &path, const QString &target)
{
    Document &d = document(index);
    d.file = stampFile(path, target);
    d.fileAbsent = false;
    d.fileGone = false;
    d.reloadDeclined = false;
    watchDocumentFile(index);
    updateStatusLine(); // a save may have changed the encoding
}

QString Form1::saveDialogStart(int index) const
{
    // A document with a file: its folder, its name filled in. An untitled one: the folder of the
    // last file picked in a dialog, or, before the first, wherever the dialog opens by itself.
    const QString path = document(index).record.path;
    return path.isEmpty() ? lastDialogFolder : path;
}

void Form1::noteDialogFolder(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0)
        lastDialogFolder = path.left(slash + 1);
}
