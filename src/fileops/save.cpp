#include "app/form1.h"

#include "documents/record.h"
#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <QDir>
#include <optional>

namespace {

const QString SaveFilter = QStringLiteral("Text File (*.txt)|*.txt");

QString saveTitle(const Form1 &f, int position)
{
    return QStringLiteral("Save [") + f.captionWithoutMark(position) + QStringLiteral("] As");
}

// A record that could not be read has no parts; asking for its path then fails as well.
bool isUntitled(const std::optional<QString> &path)
{
    if (!path)
        throw Failure(QStringLiteral("Subscript out of range"));
    return path->isEmpty();
}

// Writes editor `index`'s text in its document's format; true when the file was written. False
// when the user kept a file that another program changed, or did not let a text the file's
// encoding cannot hold change that encoding; throws when the write fails.
bool writeDocument(Form1 &f, int index, const QString &path)
{
    if (!f.mayOverwrite(index, path))
        return false;
    const Editor &e = f.RichTextBox(index);
    TextFormat &format = f.DocumentFormat.at(index);
    if (!canHold(e, format)) {
        const int answer = f.p.prompts.msgBox(
            GetFileName(path) + QStringLiteral(" contains characters that Windows-1252 cannot hold. Save it as UTF-8?"),
            MsgStyle::YesNo, QString());
        if (answer != MsgResult::Yes)
            return false;
    }
    SaveTextFile(e, path, format);
    f.noteWritten(index, path);
    return true;
}

} // namespace

void Form1::PushButton7_Click()
{
    Steps step(*this, "PushButton7_Click");
    std::optional<QString> path;
    step(100, [&] { path = recordPath(currentEditor().tag()); });
    if (!step.test(102, [&] { return isUntitled(path); })) {
        // A write that failed leaves the "*" and the record: nothing was saved.
        bool written = false;
        step(124, [&] {
            written = writeDocument(*this, currentEditorIndex(), *path);
        });
        if (written)
            step(126, [&] { clearChangedMark(p.tabs.selectedPosition()); });
        return;
    }
    step(104, [&] { CommonDialog1.FileName = QString(); });
    step(106, [&] { CommonDialog1.DialogTitle = saveTitle(*this, p.tabs.selectedPosition()); });
    step(108, [&] { CommonDialog1.Filter = SaveFilter; });
    step(110, [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
    if (step.test(112, [&] { return CommonDialog1.FileName.isEmpty(); }))
        return;
    bool written = false;
    step(116, [&] { written = writeDocument(*this, currentEditorIndex(), CommonDialog1.FileName); });
    if (!written)
        return;
    step(118, [&] { savedAs(p.tabs.selectedPosition(), CommonDialog1.FileName); });
    step(120, [&] { currentEditor().setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
}

void Form1::PushButton14_Click()
{
    Steps step(*this, "PushButton14_Click");
    step(100, [&] { CommonDialog1.FileName = QString(); });
    step(102, [&] { CommonDialog1.DialogTitle = saveTitle(*this, p.tabs.selectedPosition()); });
    step(104, [&] { CommonDialog1.Filter = SaveFilter; });
    step(108, [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
    if (step.test(110, [&] { return CommonDialog1.FileName.isEmpty(); }))
        return;
    bool written = false;
    step(114, [&] { written = writeDocument(*this, currentEditorIndex(), CommonDialog1.FileName); });
    if (!written)
        return;
    step(116, [&] { savedAs(p.tabs.selectedPosition(), CommonDialog1.FileName); });
    step(118, [&] { currentEditor().setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
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
        std::optional<QString> path;
        step(104, [&] { path = recordPath(RichTextBox(p.tabs.itemData(position)).tag()); });
        if (!step.test(106, [&] { return isUntitled(path); })) {
            bool written = false;
            step(124, [&] { written = writeDocument(*this, p.tabs.itemData(position), *path); });
            if (written)
                step(126, [&] { clearChangedMark(position); });
            continue;
        }
        step(108, [&] { CommonDialog1.FileName = QString(); });
        step(110, [&] { CommonDialog1.DialogTitle = saveTitle(*this, position); });
        step(112, [&] { CommonDialog1.Filter = SaveFilter; });
        step(114,
             [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
        if (step.test(116, [&] { return CommonDialog1.FileName.isEmpty(); }))
            continue;
        bool written = false;
        step(118, [&] { written = writeDocument(*this, p.tabs.itemData(position), CommonDialog1.FileName); });
        if (!written)
            continue;
        step(120, [&] { savedAs(position, CommonDialog1.FileName); });
        step(122,
             [&] { RichTextBox(p.tabs.itemData(position)).setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
    }
}

void Form1::savedAs(int position, const QString &path)
{
    // The mark goes first: the new caption may end in a "*" of its own.
    clearChangedMark(position);
    p.tabs.setCaption(position, GetFileName(path));
}

bool Form1::mayOverwrite(int index, const QString &path)
{
    // Only the file this document read or wrote is compared; another file is a new one to it.
    const FileStamp &known = DocumentStates.at(index).file;
    if (!known.known() || !isSameFile(known.path, path) || checkFile(known) == DiskState::Same)
        return true;
    return p.prompts.msgBox(QDir::toNativeSeparators(path) +
                                QStringLiteral(" was changed by another program since it was opened. Overwrite it?"),
                            MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2,
                            QString()) == MsgResult::Yes;
}

void Form1::noteWritten(int index, const QString &path)
{
    DocumentStates.at(index).file = stampFile(path);
}
