// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/form1.h"
#include "platform/editor.h"
#include "platform/tabstrip.h"

#include <QFile>
#include <QString>

// Adds a document for a file the way opening one does (a tab after all others, selected, a fresh
// editor with the file's text and the record "0|" + path), for tests of the commands that work on
// open documents without going through the open command.
inline int addFileDocument(Form1 &form, TabStrip &tabs, const QString &path, const QString &caption)
{
    form.Busy = true;
    form.EditorCount = checkedIncrement(form.EditorCount);
    const int index = form.EditorCount - 1;
    const int position = tabs.insertTab(index, caption);
    tabs.select(position);
    tabs.setItemData(position, static_cast<qint16>(index));
    form.loadEditor(index);
    form.setCaption(index, caption);
    QFile f(path);
    QString text;
    if (f.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(f.readAll());
    form.RichTextBox(index).setText(text);
    form.setRecord(index, DocumentRecord::ofFile(path));
    form.RichTextBox(index).setVisible(true);
    form.RichTextBox(index).zOrder();
    form.Busy = false;
    return index;
}
