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

// Writes editor `index`'s text in its document's format; returns only when the file was written.
void writeDocument(Form1 &f, int index, const QString &path)
{
    SaveTextFile(f.RichTextBox(index), path, f.DocumentFormat.at(index));
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
            writeDocument(*this, currentEditorIndex(), *path);
            written = true;
        });
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
    step(116, [&] {
        writeDocument(*this, currentEditorIndex(), CommonDialog1.FileName);
        written = true;
    });
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
    step(114, [&] {
        writeDocument(*this, currentEditorIndex(), CommonDialog1.FileName);
        written = true;
    });
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
            step(124, [&] {
                writeDocument(*this, p.tabs.itemData(position), *path);
                written = true;
            });
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
        step(118, [&] {
            writeDocument(*this, p.tabs.itemData(position), CommonDialog1.FileName);
            written = true;
        });
        if (!written)
            continue;
        step(120, [&] { p.tabs.setCaption(position, GetFileName(CommonDialog1.FileName)); });
        step(122,
             [&] { RichTextBox(p.tabs.itemData(position)).setTag(QStringLiteral("0|") + CommonDialog1.FileName); });
    }
}
