// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtGlobal>
#include <vector>

class Editor;
struct TextChange;

// One change of a document's buffer in bytes (UTF-8 with the line breaks the editor holds):
// `removed` bytes at `start` became `inserted`.
struct JournalRecord {
    qint64 start = 0;
    qint64 removed = 0;
    QByteArray inserted;
};

// A record as it lies in a draft file: a tag, three 64-bit numbers, the inserted bytes and a
// checksum of all of it, so that a record cut off by a crash, or damaged, is known as such.
QByteArray encodeRecord(const JournalRecord &record);
// The size of encodeRecord(record), without making it.
qint64 encodedSize(const JournalRecord &record);
// The same in three pieces, so that a large record is written without a copy of its bytes:
// recordHead(), the inserted bytes, recordTail().
QByteArray recordHead(const JournalRecord &record);
QByteArray recordTail(const QByteArray &head, QByteArrayView inserted);
// The whole records at the start of `bytes`, up to the first one that is cut off or damaged.
std::vector<JournalRecord> decodeRecords(QByteArrayView bytes);

// Applies the records to the editor's text, in order; stops at the first that does not fit the
// text (which a whole record never does unless the text is not the one it was taken against).
// Returns how many were applied.
size_t applyRecords(Editor &editor, const std::vector<JournalRecord> &records);

// What a document's draft journal still needs: the changes since its draft was last written,
// and whether the next write must start it afresh with the whole text.
struct DraftJournal {
    // The journal no longer leads from its start to the text (a new document, a refill, a write
    // that failed): the next write holds the whole text.
    bool wholeTextDue = true;
    // The journal starts from the document's file as its stamp describes it, not from nothing.
    bool onFile = false;
    bool started = false;    // the store holds a journal for it
    qint64 written = 0;      // bytes of records in the stored journal
    qint64 pendingBytes = 0; // the encoded size of `pending`
    std::vector<JournalRecord> pending;

    // The text is now the file's (opened, saved): the journal starts again from the file.
    void startOnFile();
    // Notes one change of the text, from the editor's notification.
    void note(const Editor &editor, const TextChange &change);
};
