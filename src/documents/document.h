// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/draftjournal.h"
#include "documents/record.h"
#include "fileops/filestamp.h"
#include "fileops/textcodec.h"

#include <QString>

class Editor;

// Everything the program knows of one document, kept under its editor's index. The tab's
// caption and the editor's tag are written from it and never read back to learn its state: a new
// fact about a document is a field here, set where the document is loaded and cleared with it.
struct Document {
    Editor *editor = nullptr;    // nullptr where the element is not loaded
    TextFormat format;           // how its file is encoded and broken into lines
    bool unsaved = false;        // changed since it was last written: its tab shows "*", questions ask for it
    bool draftDue = false;       // its draft does not hold its text yet
    FileStamp file;              // its file as it last read or wrote it
    DocumentRecord record;       // flag and path, as the editor's tag shows them
    QString caption;             // the tab's caption without its change mark
    DraftJournal journal;        // the changes its draft does not hold yet
    bool fileGone = false;       // its file was removed or moved away, and the user was told
    bool reloadDeclined = false; // the user kept his changes over the file's; not asked again until saved
    int zoom = 0;                // zoom steps of its editor (Ctrl+=, Ctrl+-, Ctrl+wheel), kept while it is open
    bool fileAbsent = false;     // named before its file existed: a save asks when another program made it meanwhile

    bool loaded() const { return editor != nullptr; }
    QString shownCaption() const { return unsaved ? caption + QLatin1Char('*') : caption; }
};
