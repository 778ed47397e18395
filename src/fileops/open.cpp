// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

void Form1::PushButton1_Click()
{
    Steps step(*this, "PushButton1_Click");
    step(100, [&] { CommonDialog1.FileName = QString(); });
    step(102, [&] { CommonDialog1.DialogTitle = tr("Select File"); });
    step(104, [&] { CommonDialog1.Filter = tr("Text Files (*.txt)|*.txt|All Files (*.*)|*.*"); });
    step(106, [&] { CommonDialog1.FileName = p.prompts.showOpen(CommonDialog1.DialogTitle, CommonDialog1.Filter); });
    if (step.test(108, [&] { return CommonDialog1.FileName.isEmpty(); }))
        return;
    step(110, [&] {
        noteDialogFolder(CommonDialog1.FileName);
        OpenFile(CommonDialog1.FileName, false);
    });
}

void Form1::OpenFile(const QString &FilePath, bool SkipFocus)
{
    Steps step(*this, "OpenFile");
    step(100, [&] { Busy = true; });
    if (takeEditorIndex(step, 102)) {
        const int index = EditorCount - 1;
        bool loaded = false;
        addDocumentTab(step, 104, index, index, GetFileName(FilePath));
        step(112, [&] {
            // Taken before reading: a change in between makes the next save ask rather than overwrite.
            const FileStamp stamp = stampFile(FilePath);
            Document &d = document(index);
            d.format = loadTextFile(FilePath, *d.editor);
            d.file = stamp;
            d.journal.startOnFile();
            loaded = true;
            watchDocumentFile(index);
        });
        // A document whose file could not be read keeps no path, so that saving it asks
        // where to save instead of overwriting the file with an empty text.
        step(114, [&] { setRecord(index, DocumentRecord::ofFile(loaded ? FilePath : QString())); });
        step(116, [&] { RichTextBox(index).setVisible(true); });
        step(118, [&] { RichTextBox(index).zOrder(); });
        if (step.test(120, [&] { return !SkipFocus; }))
            step(122, [&] { RichTextBox(index).setFocus(); });
    }
    step(124, [&] { Busy = false; });
}
