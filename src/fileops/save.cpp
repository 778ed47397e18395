#include "app/form1.h"

#include "documents/record.h"
#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <optional>

namespace {

const QString SaveFilter = QStringLiteral("Text File (*.txt)|*.txt");

QString withoutMarks(QString caption)
{
    return caption.remove(QLatin1Char('*'));
}

QString saveTitle(const QString &caption)
{
    return QStringLiteral("Save [") + withoutMarks(caption) + QStringLiteral("] As");
}

// A record that could not be read has no parts; asking for its path then fails as well.
bool isUntitled(const std::optional<QString> &path)
{
    if (!path)
        throw Failure(QStringLiteral("Subscript out of range"));
    return path->isEmpty();
}

// Writes editor `index`'s text in its document's format; true when the file was written. A
// text the file's encoding cannot hold changes the file's encoding only when the user agrees:
// otherwise nothing is written and the document stays changed.
bool writeDocument(Form1 &f, int index, const QString &path)
{
    const QString text = f.RichTextBox(index).text();
    TextFormat &format = f.DocumentFormat.at(index);
    if (!canHold(text, format)) {
        const int answer = f.p.prompts.msgBox(
            GetFileName(path) + QStringLiteral(" contains characters that Windows-1252 cannot hold. Save it as UTF-8?"),
            MsgStyle::YesNo, QString());
        if (answer != MsgResult::Yes)
            return false;
    }
    SaveTextFile(text, path, format);
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
        step(124, [&] { written = writeDocument(*this, currentEditorIndex(), *path); });
        if (written) {
            step(126, [&] {
                const int position = p.tabs.selectedPosition();
                p.tabs.setCaption(position, withoutMarks(p.tabs.caption(position)));
            });
        }
        return;
    }
    step(104, [&] { CommonDialog1.FileName = QString(); });
    step(106, [&] { CommonDialog1.DialogTitle = saveTitle(p.tabs.caption(p.tabs.selectedPosition())); });
    step(108, [&] { CommonDialog1.Filter = SaveFilter; });
    step(110, [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
    if (step.test(112, [&] { return CommonDialog1.FileName.isEmpty(); }))
        return;
    bool written = false;
    step(116, [&] { written = writeDocument(*this, currentEditorIndex(), CommonDialog1.FileName); });
    if (!written)
        return;
    step(118, [&] { p.tabs.setCaption(p.tabs.selectedPosition(), GetFileName(CommonDialog1.FileName)); });
    step(120, [&] { currentEditor().setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
}

void Form1::PushButton14_Click()
{
    Steps step(*this, "PushButton14_Click");
    step(100, [&] { CommonDialog1.FileName = QString(); });
    step(102, [&] { CommonDialog1.DialogTitle = saveTitle(p.tabs.caption(p.tabs.selectedPosition())); });
    step(104, [&] { CommonDialog1.Filter = SaveFilter; });
    step(108, [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
    if (step.test(110, [&] { return CommonDialog1.FileName.isEmpty(); }))
        return;
    bool written = false;
    step(114, [&] { written = writeDocument(*this, currentEditorIndex(), CommonDialog1.FileName); });
    if (!written)
        return;
    step(116, [&] { p.tabs.setCaption(p.tabs.selectedPosition(), GetFileName(CommonDialog1.FileName)); });
    step(118, [&] { currentEditor().setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
}

void Form1::PushButton8_Click()
{
    Steps step(*this, "PushButton8_Click");
    int count = 0;
    step(100, [&] { count = p.tabs.count(); });
    for (int position = 0; position < count; ++position) {
        // Works on the tab at `position` throughout; the selection never moves.
        if (step.test(102, [&] { return !p.tabs.caption(position).contains(QLatin1Char('*')); }))
            continue;
        std::optional<QString> path;
        step(104, [&] { path = recordPath(RichTextBox(p.tabs.itemData(position)).tag()); });
        if (!step.test(106, [&] { return isUntitled(path); })) {
            bool written = false;
            step(124, [&] { written = writeDocument(*this, p.tabs.itemData(position), *path); });
            if (written)
                step(126, [&] { p.tabs.setCaption(position, withoutMarks(p.tabs.caption(position))); });
            continue;
        }
        step(108, [&] { CommonDialog1.FileName = QString(); });
        step(110, [&] { CommonDialog1.DialogTitle = saveTitle(p.tabs.caption(position)); });
        step(112, [&] { CommonDialog1.Filter = SaveFilter; });
        step(114,
             [&] { CommonDialog1.FileName = p.prompts.showSave(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
        if (step.test(116, [&] { return CommonDialog1.FileName.isEmpty(); }))
            continue;
        bool written = false;
        step(118, [&] { written = writeDocument(*this, p.tabs.itemData(position), CommonDialog1.FileName); });
        if (!written)
            continue;
        step(120, [&] { p.tabs.setCaption(position, GetFileName(CommonDialog1.FileName)); });
        step(122,
             [&] { RichTextBox(p.tabs.itemData(position)).setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
    }
}
