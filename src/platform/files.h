#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Files as the operating system gives them: the system calls, their syncing and the reading of
// their error numbers stay behind this header (src/platform/posix/).

// The plain description of a failed system call, in the words the error report uses.
QString describeErrno(int error, const QString &fallback = QString());

// Replaces a file's content with the blocks written to it, all or nothing. Every failure throws
// Failure with a plain description ("Permission denied", "Disk full" ...).
//
// Usually a new file is written beside the old one, synced and renamed over it; it takes over
// the old file's permissions, owner and group (where allowed) and extended attributes. A file
// with several hard links, or one that may be written but not replaced (its folder forbids
// creating files), is written in place instead, so that its links stay: its old content is first
// copied to a backup (beside it, or in the temporary folder), which is removed once the new
// content is synced and put back when writing fails. Should even that fail, the backup stays
// and the failure names it. Symbolic links are followed to the file they name.
class FileReplacement {
public:
    explicit FileReplacement(const QString &path);
    FileReplacement(const FileReplacement &) = delete;
    FileReplacement &operator=(const FileReplacement &) = delete;
    ~FileReplacement(); // without commit() the old file stays exactly as it was

    void write(QByteArrayView block);
    void commit();

private:
    void openInPlace();
    bool openBeside(); // false when the folder forbids creating the new file
    bool restore();    // puts the backup back; false when that failed
    [[noreturn]] void failInPlace(int error);

    QByteArray target_;    // the file to be replaced, symbolic links resolved
    QByteArray temporary_; // the new file beside it, renamed over it on commit
    QByteArray backup_;    // in place: the old content
    int fd_ = -1;
    int backupFd_ = -1;
    bool inPlace_ = false;
    bool touched_ = false; // in place: the file has been written to
    bool done_ = false;
    long long written_ = 0;
    long long oldSize_ = 0;
    struct Times {
        long long atimeSec, atimeNsec, mtimeSec, mtimeNsec;
    } oldTimes_{};
};

// Reads a file beside the program (skin, pointer): only a regular file of at most 16 MB, so that
// a pipe or a device in its place cannot hold up start-up. Throws Failure with the reason.
QByteArray readProgramFile(const QString &path);

// Bytes of memory the system can still give without swapping, or -1 where it does not say.
qint64 availableMemory();
