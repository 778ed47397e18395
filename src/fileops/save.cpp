#include "app/form1.h"

#include "documents/record.h"
#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/files.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <QDir>

namespace {

const QString SaveFilter = QStringLiteral("Text File (*.txt)|*.txt");

QString saveTitle(const Form1 &f, int position)
{
    return QStringLiteral("Save [") + shownName(f.captionWithoutMark(position)) + QStringLiteral("] As");
}

bool askOverwrite(Form1 &f, const QString &path)
{
    return f.p.prompts.msgBox(QDir::toNativeSeparators(shownName(path)) +
                                  QStringLiteral(" was changed by another program since it was opened. Overwrite it?"),
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
            GetFileName(path) + QStringLiteral(" contains characters that Windows-1252 cannot hold. Save it as UTF-8?"),
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
    const auto position = [&] { return target.selected ? p.tabs.selectedPosition() : target.position; };
    const auto index = [&] { return target.selected ? currentEditorIndex() : int(p.tabs.itemData(target.position)); };
    if (path.isEmpty()) {
        step(number.clearName, [&] { CommonDialog1.FileName = QString(); });
        step(number.title, [&] { CommonDialog1.DialogTitle = saveTitle(*this, position()); });
        step(number.filter, [&] { CommonDialog1.Filter = SaveFilter; });
        step(number.show,
             [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
        if (step.test(number.cancelled, [&] { return CommonDialog1.FileName.isEmpty(); }))
            return;
        bool written = false;
        step(number.writeAs, [&] { written = writeDocument(*this, index(), CommonDialog1.FileName); });
        if (!written)
            return;
        step(number.caption, [&] { savedAs(position(), CommonDialog1.FileName); });
        step(number.record, [&] { setRecord(index(), DocumentRecord::ofFile(CommonDialog1.FileName)); });
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
    int count = 0;
    step(100, [&] { count = p.tabs.count(); });
    for (int position = 0; position < count; ++position) {
        // Works on the tab at `position` throughout; the selection never moves.
        if (step.test(102, [&] { return !isChanged(position); }))
            continue;
        QString path;
        step(104, [&] { path = record(p.tabs.itemData(position)).path; });
        const bool ask = step.test(106, [&] { return path.isEmpty(); });
        saveDocument(step, SaveTarget::tabAt(position), ask ? QString() : path,
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
