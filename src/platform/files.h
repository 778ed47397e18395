// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/failure.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QFile;

// Files as the operating system gives them: the system calls, their syncing and the reading of
// their error numbers stay behind this header (src/platform/posix/).

// The plain description of a failed system call, in the words the error report uses.
QString describeErrno(int error, const QString &fallback = QString());

// Which file a name holds: its device and inode.
struct FileIdentity {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity &) const = default;
};

// File names are bytes, mostly UTF-8. A name becomes text the way the editor's buffer does
// (RawUtf8): every byte that is no part of valid UTF-8 is kept as U+DC00 + byte, so any name the
// system allows comes back to the same bytes. Qt's own conversions turn such bytes into U+FFFD,
// so every path handed to the system goes through nameBytes, and every name read from it (the
// command line, a folder) through nameFromBytes.
QByteArray nameBytes(const QString &name);
QString nameFromBytes(QByteArrayView bytes);
// A name as the user reads it: a kept byte shows as U+FFFD.
QString shownName(const QString &name);

// What a name holds, by stat (or lstat when links are not followed).
struct NameStatus {
    bool exists = false;
    bool link = false; // only when links are not followed
    bool file = false; // a regular file
    bool folder = false;
    qint64 size = 0;
    qint64 modified = 0; // milliseconds since the epoch
    qint64 changed = 0;  // of the metadata
    FileIdentity identity;
};
NameStatus nameStatus(const QString &path, bool followLinks = true);
// Opens the named file for reading into `file` (by its descriptor); false with errno set.
bool openForReading(QFile &file, const QString &path, bool followLinks = true);
// The absolute name with every link resolved; empty when it names nothing.
QString canonicalName(const QString &path);
// The process's current folder.
QString currentFolder();
// Makes the folder and those above it that are missing, each for the user alone (0700), and
// narrows the folder itself to 0700 whatever it was. False with errno set when that fails.
bool makePrivateFolder(const QString &path);

// The name no longer holds the file that was checked: a symbolic link, a folder or another file
// took its place. Nothing was written.
class FileChanged : public Failure {
public:
    FileChanged() : Failure(QCoreApplication::translate("Failure", "File changed")) {}
};

// The file a path names once its chain of symbolic links is followed, in a folder whose own links
// are resolved: the name a save writes. Resolved once, when a file is read or first written, and
// kept, so that a link another user puts in its place later is never followed.
QString resolveLinks(const QString &path);

// Where a save writes (links resolved) and the file it expects to find there; without one,
// whatever regular file or link holds the name is replaced.
struct WriteTarget {
    QString file;
    std::optional<FileIdentity> expected;
};

// Replaces a file's content with the blocks written to it, all or nothing. Every failure throws
// Failure with a plain description ("Permission denied", "Disk full" ...).
//
// The target's folder is opened once and everything happens through that handle and the name:
// the check of the file (it must be a regular file, and the expected one when one is given), the
// new file beside it and the rename over it. A name that holds a link, a folder or another file
// than the expected one throws FileChanged; links are never followed.
//
// Usually a new file is written beside the old one, synced and renamed over it; it takes over
// the old file's permissions, owner and group (where allowed) and extended attributes. A file
// with several hard links, or one that may be written but not replaced (its folder forbids
// creating files), is written in place instead, so that its links stay: its old content is first
// copied to a backup (beside it, or in the temporary folder), which is removed once the new
// content is synced and put back when writing fails. While it is written in place a record in
// the state folder names the file and its backup, so that a start after a crash puts the old
// content back (repairInterruptedWrites). Should putting it back fail, the backup stays and the
// failure names it. Temporary files and backups that a killed save left beside the file are
// removed.
class FileReplacement {
public:
    // `path` with its links still to be resolved (a file written for the first time).
    explicit FileReplacement(const QString &path);
    // `target` as resolveLinks gave it earlier; `expected`: the file a check found there.
    FileReplacement(const QString &target, std::optional<FileIdentity> expected);
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;
    ~FileReplacement(); // without commit() the old file stays exactly as it was

    void write(QByteArrayView block);
    void commit();

    // Tests: runs once the file has been checked, before anything is written, so that a test
    // can change the folder in between.
    static std::function<void()> &afterCheck();

private:
    void open(std::optional<FileIdentity> expected);
    void release();
    void openInPlace();
    bool openBeside(); // false when the folder forbids creating the new file
    bool restore();    // puts the backup back; false when that failed
    void removeLeftovers();
    void record(bool backupComplete);
    void dropRecord();
    [[noreturn]] void failInPlace(int error);

    QByteArray target_;     // the file to be replaced, symbolic links resolved
    QByteArray name_;       // its name in its folder
    QByteArray temporary_;  // the new file beside it (a name in the folder), renamed over it on commit
    QByteArray backup_;     // in place: the old content (a full path)
    QByteArray backupName_; // the backup's name in the file's folder; empty when it is elsewhere
    QByteArray record_;     // in place: the record's name in the records folder
    int folderFd_ = -1;
    int fd_ = -1;
    int backupFd_ = -1;
    int recordFd_ = -1;
    int recordsFd_ = -1;
    bool inPlace_ = false;
    bool touched_ = false; // in place: the file has been written to
    bool done_ = false;
    bool absent_ = false; // no file held the name at the check: commit replaces none
    long long written_ = 0;
    long long oldSize_ = 0;
    FileIdentity identity_;
    struct Times {
        long long atimeSec, atimeNsec, mtimeSec, mtimeNsec;
    } oldTimes_{};
};

// The folder of the records of in-place writes: $XDG_STATE_HOME/marquill/writes.
QString interruptedWritesFolder();

// Puts back the old content of files whose in-place write a crash interrupted, into the same
// file (its hard links stay), and removes the backups; returns the files put back. A backup that
// was not complete is removed and its file left as it is. Records of writes still running in
// another process are left alone.
QStringList repairInterruptedWrites();

// Reads a file beside the program (skin, pointer): only a regular file of at most 16 MB, so that
// a pipe or a device in its place cannot hold up start-up. Throws Failure with the reason.
QByteArray readProgramFile(const QString &path);

// Bytes of memory the system can still give without swapping, or -1 where it does not say.
qint64 availableMemory();
