// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/files.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What a document knows of its file as it last read or wrote it, so that a later save can tell
// whether another program changed the file in between.
struct FileStamp {
    QString path;   // empty: the document has read or written no file yet
    QString target; // the file that path named when first read or written, links resolved
    qint64 size = 0;
    qint64 modified = 0; // milliseconds since the epoch
    qint64 changed = 0;  // when the file's metadata last changed (a rename over it changes it too)
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray hash; // a fingerprint of the file's bytes, or NotFingerprinted

    // The hash of a file that was followed as it grew rather than read whole: the stamp is known,
    // but a change of its times alone then counts as a change of its content. No fingerprint is
    // one byte long, so none equals it.
    static inline const QByteArray NotFingerprinted = QByteArrayLiteral("-");

    // False also for a file that could not be read: its path and target are kept all the same.
    bool known() const { return !path.isEmpty() && !hash.isEmpty(); }
};

// The file as it is now; an unknown stamp (keeping path and target) when there is no readable file. Reads the whole
// file for its hash. The path's links are resolved here, once; the second form takes the target
// resolved before and follows no link.
FileStamp stampFile(const QString &path);
FileStamp stampFile(const QString &path, const QString &target);

enum class DiskState { Same, Changed, Removed };

// Whether the file is still the one the stamp describes: size, times and identity first, and only
// when those differ its content. A file that can no longer be read, or a link or folder in its
// place, counts as changed. `seen` receives the identity of the file that was compared.
DiskState checkFile(const FileStamp &recorded, FileIdentity *seen = nullptr);

// Whether the two paths name the same file (also through symbolic links or after a removal).
bool isSameFile(const QString &a, const QString &b);

// The stamp as one line of text, and back (an empty or damaged line gives an unknown stamp).
QString stampToText(const FileStamp &stamp);
FileStamp stampFromText(const QString &path, const QString &text);
