// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "platform/failure.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtDebug>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

QString describeErrno(int error, const QString &fallback)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return QCoreApplication::translate("Failure", "Path not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return QCoreApplication::translate("Failure", "Permission denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return QCoreApplication::translate("Failure", "Disk full");
    case EISDIR: return QCoreApplication::translate("Failure", "Path/File access error");
    case ENAMETOOLONG:
    case EINVAL: return QCoreApplication::translate("Failure", "Bad file name or number");
    case EMFILE:
    case ENFILE: return QCoreApplication::translate("Failure", "Too many files");
    case ENOMEM: return QCoreApplication::translate("Failure", "Out of memory");
    case EIO: return QCoreApplication::translate("Failure", "Device I/O error");
    default: return fallback.isEmpty() ? QCoreApplication::translate("Failure", "Device I/O error") : fallback;
    }
}

namespace {

const QByteArray TemporaryMark = ".marquill-";
const QByteArray BackupMark = "~marquill-";
constexpr int SuffixLength = 6;
const char SuffixLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

QByteArray randomSuffix()
{
    QByteArray s(SuffixLength, Qt::Uninitialized);
    for (char &c : s)
        c = SuffixLetters[QRandomGenerator::global()->bounded(int(sizeof SuffixLetters) - 1)];
    return s;
}

// A name this writer made from `stem`: the stem and a random suffix, nothing else.
bool isOwnName(const QByteArray &name, const QByteArray &stem)
{
    if (name.size() != stem.size() + SuffixLength || !name.startsWith(stem))
        return false;
    for (const char c : name.mid(stem.size())) {
        if (!std::strchr(SuffixLetters, c) || c == '\0')
            return false;
    }
    return true;
}

// Creates a new file that did not exist, in the folder `at` (a handle, or AT_FDCWD for a full
// path), locked for as long as it is open; -1 with errno set.
int createUnique(int at, const QByteArray &stem, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + randomSuffix();
        const int fd = ::openat(at, name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            // A lock tells a later save that this file is still in use.
            ::flock(fd, LOCK_EX | LOCK_NB);
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    return -1;
}

bool writeAll(int fd, const char *data, qsizetype size, long long offset)
{
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(size), offset);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
        offset += n;
    }
    return true;
}

// Copies `from` into `to` from the start; false with errno set.
bool copyContent(int from, int to)
{
    char buffer[65536];
    long long offset = 0;
    for (;;) {
        const ssize_t n = ::pread(from, buffer, sizeof buffer, offset);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAll(to, buffer, n, offset))
            return false;
        offset += n;
    }
}

// A failed sync on a file system that cannot sync is no failed write.
bool synced(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Extended attributes the user may set (user.* always; others where allowed) go to the new file.
void copyAttributes(int from, int to)
{
    const ssize_t size = ::flistxattr(from, nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(size, '\0');
    const ssize_t got = ::flistxattr(from, names.data(), size_t(size));
    if (got <= 0)
        return;
    for (const QByteArray &name : names.left(got).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::fgetxattr(from, name.constData(), nullptr, 0);
        if (length < 0)
            continue;
        QByteArray value(length, '\0');
        const ssize_t read = ::fgetxattr(from, name.constData(), value.data(), size_t(length));
        if (read >= 0)
            ::fsetxattr(to, name.constData(), value.constData(), size_t(read), 0); // not allowed: skipped
    }
}

FileIdentity identityOf(const struct stat &st)
{
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

// A folder opened without following a link in its last step; -1 with errno set.
int openFolder(const QByteArray &folder)
{
    return ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Splits a full name into its folder and its name in that folder.
void splitName(const QByteArray &path, QByteArray &folder, QByteArray &name)
{
    const qsizetype slash = path.lastIndexOf('/');
    folder = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : path.left(slash);
    name = path.mid(slash + 1);
}

// The record of an in-place write: which file, its identity, its old size and times, its backup,
// and at the end whether the backup is complete (one byte, changed in place).
struct WriteRecord {
    QByteArray target, backup;
    FileIdentity identity;
    long long size = 0;
    long long times[4] = {};
    bool complete = false;
};

QByteArray recordText(const WriteRecord &r)
{
    QByteArray text = "target " + r.target.toHex() + "\nbackup " + r.backup.toHex() + "\nidentity " +
                      QByteArray::number(r.identity.device) + ' ' + QByteArray::number(r.identity.inode) + "\nsize " +
                      QByteArray::number(r.size) + "\ntimes";
    for (long long t : r.times)
        text += ' ' + QByteArray::number(t);
    return text + "\ncomplete " + (r.complete ? '1' : '0') + '\n';
}

std::optional<WriteRecord> parseRecord(const QByteArray &text)
{
    WriteRecord r;
    int seen = 0;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> f = line.split(' ');
        bool ok = true;
        if (f[0] == "target" && f.size() == 2)
            r.target = QByteArray::fromHex(f[1]);
        else if (f[0] == "backup" && f.size() == 2)
            r.backup = QByteArray::fromHex(f[1]);
        else if (f[0] == "identity" && f.size() == 3) {
            bool ok2 = false;
            r.identity = {f[1].toULongLong(&ok), f[2].toULongLong(&ok2)};
            ok = ok && ok2;
        } else if (f[0] == "size" && f.size() == 2)
            r.size = f[1].toLongLong(&ok);
        else if (f[0] == "times" && f.size() == 5) {
            for (int i = 0; i < 4 && ok; ++i)
                r.times[i] = f[i + 1].toLongLong(&ok);
        } else if (f[0] == "complete" && f.size() == 2)
            r.complete = f[1] == "1";
        else
            continue;
        if (!ok)
            return std::nullopt;
        ++seen;
    }
    if (seen != 6 || r.target.isEmpty() || r.backup.isEmpty())
        return std::nullopt;
    return r;
}

// The records folder, made 0700 whatever the umask, and refused when someone else owns it.
int openRecordsFolder(bool create)
{
    const QByteArray folder = QFile::encodeName(interruptedWritesFolder());
    if (create)
        makePrivateFolder(interruptedWritesFolder()); // a failure shows in the checks below
    const int fd = openFolder(folder);
    if (fd < 0)
        return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    if ((st.st_mode & 077) != 0)
        ::fchmod(fd, 0700);
    return fd;
}

} // namespace

QString resolveLinks(const QString &path)
{
    // QSaveFile's way: follow the chain of links, so that the link stays and its target is replaced.
    // By the name's bytes: QFileInfo would lose those that are no UTF-8.
    const QByteArray given = nameBytes(path);
    QByteArray file = given;
    int depth = 128;
    struct stat st;
    while (::lstat(file.constData(), &st) == 0 && S_ISLNK(st.st_mode) && --depth > 0) {
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(file.constData(), link.data(), size_t(link.size()));
        if (n <= 0)
            break;
        link.truncate(n);
        if (!link.startsWith('/')) {
            QByteArray folder, name;
            splitName(file, folder, name);
            link = (folder == "/" ? QByteArray() : folder) + '/' + link;
        }
        file = link;
    }
    if (depth <= 0)
        file = given;
    // The folder's own links too: the writer then opens it without following any.
    QByteArray folder, name;
    splitName(file, folder, name);
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return nameFromBytes(file);
    folder = real;
    std::free(real);
    return nameFromBytes((folder == "/" ? QByteArray() : folder) + '/' + name);
}

QString interruptedWritesFolder()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/marquill/writes");
}

std::function<void()> &FileReplacement::afterCheck()
{
    static std::function<void()> hook;
    return hook;
}

FileReplacement::FileReplacement(const QString &path) : FileReplacement(resolveLinks(path), std::nullopt)
{
}

FileReplacement::FileReplacement(const QString &target, std::optional<FileIdentity> expected)
{
    target_ = nameBytes(target);
    try {
        open(expected);
    } catch (...) {
        // The constructor fails: no destructor runs to let go of what was opened.
        release();
        throw;
    }
}

void FileReplacement::open(std::optional<FileIdentity> expected)
{
    while (target_.size() > 1 && target_.endsWith('/'))
        target_.chop(1);
    if (target_.isEmpty())
        throw Failure(QCoreApplication::translate("Failure", "Bad file name or number"));
    QByteArray folder;
    splitName(target_, folder, name_);
    if (name_.isEmpty() || name_ == "." || name_ == "..")
        throw Failure(QCoreApplication::translate("Failure", "Path/File access error"));
    folderFd_ = openFolder(folder);
    if (folderFd_ < 0 && errno == ELOOP)
        throw FileChanged();
    if (folderFd_ < 0)
        throw Failure(describeErrno(errno));
    struct stat st;
    if (::fstatat(folderFd_, name_.constData(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT)
            throw Failure(describeErrno(errno));
        if (expected)
            throw FileChanged();
        absent_ = true;
        removeLeftovers();
        if (afterCheck())
            afterCheck()();
        if (!openBeside())
            throw Failure(QCoreApplication::translate("Failure", "Permission denied"));
        return;
    }
    if (expected && (!S_ISREG(st.st_mode) || identityOf(st) != *expected))
        throw FileChanged();
    // A link that took the name since it was resolved is replaced, never followed. Folders,
    // pipes and devices are no files to replace.
    const bool link = S_ISLNK(st.st_mode);
    if (!S_ISREG(st.st_mode) && !link)
        throw Failure(QCoreApplication::translate("Failure", "Path/File access error"));
    int old = -1;
    if (!link) {
        // Owner, permissions and attributes are read from a handle on that very file.
        old = ::openat(folderFd_, name_.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat now;
        if (old < 0 && (errno == ELOOP || errno == ENOENT))
            throw FileChanged();
        if (old >= 0 && (::fstat(old, &now) != 0 || !S_ISREG(now.st_mode) || identityOf(now) != identityOf(st))) {
            ::close(old);
            throw FileChanged();
        }
        identity_ = identityOf(st);
        oldSize_ = st.st_size;
        oldTimes_ = {st.st_atim.tv_sec, st.st_atim.tv_nsec, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    }
    removeLeftovers();
    if (afterCheck())
        afterCheck()();
    if (!link && (st.st_nlink > 1 || !openBeside())) {
        if (old >= 0)
            ::close(old);
        openInPlace();
        return;
    }
    if (link) {
        if (!openBeside())
            throw Failure(QCoreApplication::translate("Failure", "Permission denied"));
        return;
    }
    // Owner and group where allowed (a user may give a file any group of his own), then the
    // permissions: changing the owner clears the set-id bits.
    if (::fchown(fd_, st.st_uid, st.st_gid) != 0 && ::fchown(fd_, uid_t(-1), st.st_gid) != 0) {
        // kept as the user's own
    }
    ::fchmod(fd_, st.st_mode & 07777);
    if (old >= 0) {
        copyAttributes(old, fd_);
        ::close(old);
    }
}

bool FileReplacement::openBeside()
{
    fd_ = createUnique(folderFd_, '.' + name_ + TemporaryMark, 0666, temporary_);
    if (fd_ >= 0)
        return true;
    const int error = errno;
    temporary_.clear();
    if (error == EACCES || error == EPERM)
        return false;
    throw Failure(describeErrno(error));
}

void FileReplacement::openInPlace()
{
    inPlace_ = true;
    fd_ = ::openat(folderFd_, name_.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    if (fd_ < 0 && (errno == ELOOP || errno == ENOENT))
        throw FileChanged();
    if (fd_ < 0)
        throw Failure(describeErrno(errno));
    // The file that was checked, and no other, is written.
    struct stat st;
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || identityOf(st) != identity_)
        throw FileChanged();
    backupFd_ = createUnique(folderFd_, '.' + name_ + BackupMark, 0600, backupName_);
    if (backupFd_ >= 0) {
        QByteArray folder, name;
        splitName(target_, folder, name);
        backup_ = folder + '/' + backupName_;
    } else if (errno == EACCES || errno == EPERM || errno == EROFS) {
        backupName_.clear();
        const QByteArray elsewhere = QFile::encodeName(QDir::tempPath()) + '/' + name_ + BackupMark;
        backupFd_ = createUnique(AT_FDCWD, elsewhere, 0600, backup_);
    }
    if (backupFd_ < 0)
        throw Failure(describeErrno(errno));
    record(false);
    if (!copyContent(fd_, backupFd_) || !synced(backupFd_))
        throw Failure(describeErrno(errno));
    record(true);
}

void FileReplacement::record(bool backupComplete)
{
    if (backupComplete) {
        if (recordFd_ >= 0) {
            // The flag is the record's last byte but the line break.
            const off_t end = ::lseek(recordFd_, 0, SEEK_END);
            if (!writeAll(recordFd_, "1", 1, end - 2) || !synced(recordFd_))
                throw Failure(describeErrno(errno));
        }
        return;
    }
    WriteRecord r;
    r.target = target_;
    r.backup = backup_;
    r.identity = identity_;
    r.size = oldSize_;
    r.times[0] = oldTimes_.atimeSec;
    r.times[1] = oldTimes_.atimeNsec;
    r.times[2] = oldTimes_.mtimeSec;
    r.times[3] = oldTimes_.mtimeNsec;
    recordsFd_ = openRecordsFolder(true);
    if (recordsFd_ >= 0)
        recordFd_ = createUnique(recordsFd_, QByteArray::number(::getpid()) + '-', 0600, record_);
    const QByteArray text = recordText(r);
    if (recordFd_ < 0 || !writeAll(recordFd_, text.constData(), text.size(), 0) || !synced(recordFd_) ||
        !synced(recordsFd_)) {
        // Without a state folder of its own (another user's home, a read-only one) the save still
        // runs, with the backup as its only safeguard.
        qWarning("No record of the write of %s in %s: %s", target_.constData(), qPrintable(interruptedWritesFolder()),
                 std::strerror(errno));
        dropRecord();
    }
}

void FileReplacement::dropRecord()
{
    if (recordFd_ >= 0) {
        ::unlinkat(recordsFd_, record_.constData(), 0);
        ::close(recordFd_);
        recordFd_ = -1;
    }
    if (recordsFd_ >= 0) {
        ::close(recordsFd_);
        recordsFd_ = -1;
    }
}

void FileReplacement::removeLeftovers()
{
    const int listing = ::dup(folderFd_);
    if (listing < 0)
        return;
    DIR *dir = ::fdopendir(listing);
    if (!dir) {
        ::close(listing);
        return;
    }
    ::rewinddir(dir);
    const QByteArray temporaryStem = '.' + name_ + TemporaryMark;
    const QByteArray backupStem = '.' + name_ + BackupMark;
    QList<QByteArray> found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (isOwnName(name, temporaryStem) || isOwnName(name, backupStem))
            found.append(name);
    }
    ::closedir(dir);
    // Only this user's own files, and only those that no running save holds locked.
    for (const QByteArray &name : found) {
        const int fd = ::openat(folderFd_, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(folderFd_, name.constData(), 0);
        ::close(fd);
    }
}

void FileReplacement::write(QByteArrayView block)
{
    if (done_ || fd_ < 0)
        throw Failure(QCoreApplication::translate("Failure", "Bad file name or number"));
    touched_ = true;
    if (!writeAll(fd_, block.data(), block.size(), written_)) {
        if (inPlace_)
            failInPlace(errno);
        throw Failure(describeErrno(errno));
    }
    written_ += block.size();
}

void FileReplacement::commit()
{
    if (done_ || fd_ < 0)
        throw Failure(QCoreApplication::translate("Failure", "Bad file name or number"));
    if (inPlace_) {
        touched_ = true;
        if (::ftruncate(fd_, written_) != 0 || !synced(fd_))
            failInPlace(errno);
        if (backupName_.isEmpty())
            ::unlink(backup_.constData());
        else
            ::unlinkat(folderFd_, backupName_.constData(), 0);
        dropRecord();
        done_ = true;
        return;
    }
    // Some file systems report a full disk only when syncing or closing.
    if (!synced(fd_))
        throw Failure(describeErrno(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0)
        throw Failure(describeErrno(errno));
    if (absent_) {
        // The name held no file at the check: a file that another program made there since is
        // not replaced unasked (FileChanged asks). Where the file system cannot rename without
        // replacing, a hard link claims the name as atomically; without those, a plain rename.
        if (::renameat2(folderFd_, temporary_.constData(), folderFd_, name_.constData(), RENAME_NOREPLACE) != 0) {
            if (errno == EEXIST)
                throw FileChanged();
            if (errno != EINVAL && errno != ENOSYS)
                throw Failure(describeErrno(errno));
            if (::linkat(folderFd_, temporary_.constData(), folderFd_, name_.constData(), 0) == 0)
                ::unlinkat(folderFd_, temporary_.constData(), 0);
            else if (errno == EEXIST)
                throw FileChanged();
            else if (::renameat(folderFd_, temporary_.constData(), folderFd_, name_.constData()) != 0)
                throw Failure(describeErrno(errno));
        }
    } else if (::renameat(folderFd_, temporary_.constData(), folderFd_, name_.constData()) != 0) {
        // Whatever holds the name by now is replaced, never followed: the rename works on the name.
        throw Failure(describeErrno(errno));
    }
    done_ = true;
    // The rename itself lasts through a crash only once the folder is synced.
    ::fsync(folderFd_);
}

bool FileReplacement::restore()
{
    const struct timespec times[2] = {{time_t(oldTimes_.atimeSec), long(oldTimes_.atimeNsec)},
                                      {time_t(oldTimes_.mtimeSec), long(oldTimes_.mtimeNsec)}};
    if (!copyContent(backupFd_, fd_) || ::ftruncate(fd_, oldSize_) != 0 || !synced(fd_))
        return false;
    ::futimens(fd_, times);
    if (backupName_.isEmpty())
        ::unlink(backup_.constData());
    else
        ::unlinkat(folderFd_, backupName_.constData(), 0);
    dropRecord();
    return true;
}

void FileReplacement::failInPlace(int error)
{
    done_ = true;
    QString description = describeErrno(error);
    if (!restore())
        description += QCoreApplication::translate("Failure", "; the old content is kept in %1")
                           .arg(shownName(nameFromBytes(backup_)));
    throw Failure(description);
}

FileReplacement::~FileReplacement()
{
    release();
}

void FileReplacement::release()
{
    if (!done_) {
        if (inPlace_ && touched_ && !restore())
            qWarning("The old content of %s is kept in %s", target_.constData(), backup_.constData());
        else if (inPlace_ && !touched_ && backupFd_ >= 0) {
            if (backupName_.isEmpty())
                ::unlink(backup_.constData());
            else
                ::unlinkat(folderFd_, backupName_.constData(), 0);
            dropRecord();
        } else if (!inPlace_ && !temporary_.isEmpty())
            ::unlinkat(folderFd_, temporary_.constData(), 0);
    }
    // A record stays only where the old content could not be put back: the next start tries again.
    if (recordFd_ >= 0)
        ::close(recordFd_);
    if (recordsFd_ >= 0)
        ::close(recordsFd_);
    if (fd_ >= 0)
        ::close(fd_);
    if (backupFd_ >= 0)
        ::close(backupFd_);
    if (folderFd_ >= 0)
        ::close(folderFd_);
    recordFd_ = recordsFd_ = fd_ = backupFd_ = folderFd_ = -1;
}

namespace {

// Puts one interrupted write right; true when its file got its old content back.
bool repair(const WriteRecord &r)
{
    const auto dropBackup = [&] {
        // Only this user's own regular file goes, never what a link points to.
        const int fd = ::open(r.backup.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        struct stat st;
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(r.backup.constData());
        if (fd >= 0)
            ::close(fd);
    };
    const int backup = ::open(r.backup.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (backup < 0)
        return false; // removed after the new content was synced: that save was complete
    struct stat bs;
    const bool complete = ::fstat(backup, &bs) == 0 && S_ISREG(bs.st_mode) && bs.st_uid == ::geteuid() && r.complete &&
                          bs.st_size == r.size;
    if (!complete) {
        // Killed while the backup was made: the file itself was not touched yet.
        ::close(backup);
        dropBackup();
        return false;
    }
    QByteArray folder, name;
    splitName(r.target, folder, name);
    const int folderFd = openFolder(folder);
    const int fd = folderFd < 0 ? -1 : ::openat(folderFd, name.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
    struct stat st;
    const bool same = fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && identityOf(st) == r.identity;
    bool done = false;
    if (same) {
        const struct timespec times[2] = {{time_t(r.times[0]), long(r.times[1])},
                                          {time_t(r.times[2]), long(r.times[3])}};
        done = copyContent(backup, fd) && ::ftruncate(fd, r.size) == 0 && synced(fd);
        if (done) {
            ::futimens(fd, times);
            ::unlink(r.backup.constData());
        }
    }
    const int error = errno;
    if (fd >= 0)
        ::close(fd);
    if (folderFd >= 0)
        ::close(folderFd);
    ::close(backup);
    // Another file now holds the name: the backup stays for the user to judge.
    if (!same)
        return false;
    if (!done)
        throw Failure(describeErrno(error));
    return true;
}

} // namespace

QStringList repairInterruptedWrites()
{
    QStringList repaired;
    const int folder = openRecordsFolder(false);
    if (folder < 0)
        return repaired;
    QList<QByteArray> names;
    if (DIR *dir = ::fdopendir(::dup(folder))) {
        ::rewinddir(dir);
        while (const dirent *entry = ::readdir(dir)) {
            if (entry->d_name[0] != '.')
                names.append(QByteArray(entry->d_name));
        }
        ::closedir(dir);
    }
    for (const QByteArray &name : names) {
        const int fd = ::openat(folder, name.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        // A record still locked belongs to a save that is running now.
        struct stat st;
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > 65536 ||
            ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            continue;
        }
        QByteArray text(st.st_size, '\0');
        const bool read = ::pread(fd, text.data(), size_t(text.size()), 0) == text.size();
        bool keep = false;
        if (const auto record = read ? parseRecord(text) : std::nullopt) {
            try {
                if (repair(*record))
                    repaired.append(nameFromBytes(record->target));
            } catch (const Failure &) {
                // The old content could not go back: the record stays for the next start.
                keep = true;
                qWarning("The old content of %s is kept in %s", record->target.constData(), record->backup.constData());
            }
        }
        if (!keep)
            ::unlinkat(folder, name.constData(), 0);
        ::close(fd);
    }
    ::close(folder);
    return repaired;
}
