#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// What a document knows of its file as it last read or wrote it, so that a later save can tell
// whether another program changed the file in between.
struct FileStamp {
    QString path; // empty: the document has read or written no file yet
    qint64 size = 0;
    qint64 modified = 0; // milliseconds since the epoch
    qint64 changed = 0;  // when the file's metadata last changed (a rename over it changes it too)
    quint64 device = 0;
    quint64 inode = 0;
    QByteArray hash; // a fingerprint of the file's bytes

    bool known() const { return !path.isEmpty(); }
};

// The file as it is now; a stamp without a path when there is no readable file. Reads the whole
// file for its hash.
FileStamp stampFile(const QString &path);

enum class DiskState { Same, Changed, Removed };

// Whether the file is still the one the stamp describes: size, times and identity first, and only
// when those differ its content. A file that can no longer be read counts as changed.
DiskState checkFile(const FileStamp &recorded);

// Whether the two paths name the same file (also through symbolic links or after a removal).
bool isSameFile(const QString &a, const QString &b);

// The stamp as one line of text, and back (an empty or damaged line gives an unknown stamp).
QString stampToText(const FileStamp &stamp);
FileStamp stampFromText(const QString &path, const QString &text);
