#include "platform/files.h"

#include "platform/failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtDebug>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

QString describeErrno(int error, const QString &fallback)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Path not found");
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY: return QStringLiteral("Permission denied");
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return QStringLiteral("Disk full");
    case EISDIR: return QStringLiteral("Path/File access error");
    case ENAMETOOLONG:
    case EINVAL: return QStringLiteral("Bad file name or number");
    case EMFILE:
    case ENFILE: return QStringLiteral("Too many files");
    case ENOMEM: return QStringLiteral("Out of memory");
    case EIO: return QStringLiteral("Device I/O error");
    default: return fallback.isEmpty() ? QStringLiteral("Device I/O error") : fallback;
    }
}

namespace {

// QSaveFile's way: follow the chain of links, so that the link stays and its target is replaced.
QByteArray resolveLinks(const QString &path)
{
    QFileInfo info(path);
    int depth = 128;
    while (info.isSymLink() && --depth > 0)
        info.setFile(info.symLinkTarget());
    return QFile::encodeName(depth > 0 ? info.filePath() : path);
}

QByteArray randomSuffix()
{
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray s(6, Qt::Uninitialized);
    for (char &c : s)
        c = letters[QRandomGenerator::global()->bounded(int(sizeof letters) - 1)];
    return s;
}

// Creates a new file that did not exist; -1 with errno set.
int createUnique(const QByteArray &stem, mode_t mode, QByteArray &name)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = stem + randomSuffix();
        const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
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
void copyAttributes(const QByteArray &from, int to)
{
    const ssize_t size = ::listxattr(from.constData(), nullptr, 0);
    if (size <= 0)
        return;
    QByteArray names(size, '\0');
    const ssize_t got = ::listxattr(from.constData(), names.data(), size_t(size));
    if (got <= 0)
        return;
    for (const QByteArray &name : names.left(got).split('\0')) {
        if (name.isEmpty())
            continue;
        const ssize_t length = ::getxattr(from.constData(), name.constData(), nullptr, 0);
        if (length < 0)
            continue;
        QByteArray value(length, '\0');
        const ssize_t read = ::getxattr(from.constData(), name.constData(), value.data(), size_t(length));
        if (read >= 0)
            ::fsetxattr(to, name.constData(), value.constData(), size_t(read), 0); // not allowed: skipped
    }
}

} // namespace

FileReplacement::FileReplacement(const QString &path)
{
    if (path.isEmpty())
        throw Failure(QStringLiteral("Bad file name or number"));
    target_ = resolveLinks(path);
    struct stat st;
    if (::stat(target_.constData(), &st) != 0) {
        if (errno != ENOENT)
            throw Failure(describeErrno(errno));
        if (!openBeside())
            throw Failure(QStringLiteral("Permission denied"));
        return;
    }
    // Folders, pipes and devices are no files to replace.
    if (!S_ISREG(st.st_mode))
        throw Failure(QStringLiteral("Path/File access error"));
    oldSize_ = st.st_size;
    oldTimes_ = {st.st_atim.tv_sec, st.st_atim.tv_nsec, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
    if (st.st_nlink > 1 || !openBeside()) {
        openInPlace();
        return;
    }
    // Owner and group where allowed (a user may give a file any group of his own), then the
    // permissions: changing the owner clears the set-id bits.
    if (::fchown(fd_, st.st_uid, st.st_gid) != 0 && ::fchown(fd_, uid_t(-1), st.st_gid) != 0) {
        // kept as the user's own
    }
    ::fchmod(fd_, st.st_mode & 07777);
    copyAttributes(target_, fd_);
}

bool FileReplacement::openBeside()
{
    const QFileInfo info(QFile::decodeName(target_));
    const QByteArray stem = QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName()) + '.';
    fd_ = createUnique(stem, 0666, temporary_);
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
    fd_ = ::open(target_.constData(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0)
        throw Failure(describeErrno(errno));
    const QFileInfo info(QFile::decodeName(target_));
    const QByteArray beside = QFile::encodeName(info.path() + QStringLiteral("/.") + info.fileName()) + '~';
    backupFd_ = createUnique(beside, 0600, backup_);
    if (backupFd_ < 0 && (errno == EACCES || errno == EPERM || errno == EROFS)) {
        const QByteArray elsewhere = QFile::encodeName(QDir::tempPath() + QLatin1Char('/') + info.fileName()) + '~';
        backupFd_ = createUnique(elsewhere, 0600, backup_);
    }
    if (backupFd_ < 0 || !copyContent(fd_, backupFd_) || !synced(backupFd_)) {
        // The constructor fails: no destructor runs to let go of what was opened.
        const int error = errno;
        if (backupFd_ >= 0) {
            ::unlink(backup_.constData());
            ::close(backupFd_);
        }
        ::close(fd_);
        throw Failure(describeErrno(error));
    }
}

void FileReplacement::write(QByteArrayView block)
{
    if (done_ || fd_ < 0)
        throw Failure(QStringLiteral("Bad file name or number"));
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
        throw Failure(QStringLiteral("Bad file name or number"));
    if (inPlace_) {
        touched_ = true;
        if (::ftruncate(fd_, written_) != 0 || !synced(fd_))
            failInPlace(errno);
        ::unlink(backup_.constData());
        done_ = true;
        return;
    }
    // Some file systems report a full disk only when syncing or closing.
    if (!synced(fd_))
        throw Failure(describeErrno(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || ::rename(temporary_.constData(), target_.constData()) != 0)
        throw Failure(describeErrno(errno));
    done_ = true;
    // The rename itself lasts through a crash only once the folder is synced.
    const int folder = ::open(QFile::encodeName(QFileInfo(QFile::decodeName(target_)).path()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

bool FileReplacement::restore()
{
    const struct timespec times[2] = {{time_t(oldTimes_.atimeSec), long(oldTimes_.atimeNsec)},
                                      {time_t(oldTimes_.mtimeSec), long(oldTimes_.mtimeNsec)}};
    if (!copyContent(backupFd_, fd_) || ::ftruncate(fd_, oldSize_) != 0 || !synced(fd_))
        return false;
    ::futimens(fd_, times);
    ::unlink(backup_.constData());
    return true;
}

void FileReplacement::failInPlace(int error)
{
    done_ = true;
    QString description = describeErrno(error);
    if (!restore())
        description += QStringLiteral("; the old content is kept in ") + QFile::decodeName(backup_);
    throw Failure(description);
}

FileReplacement::~FileReplacement()
{
    if (!done_) {
        if (inPlace_ && touched_ && !restore())
            qWarning("The old content of %s is kept in %s", target_.constData(), backup_.constData());
        else if (inPlace_ && !touched_)
            ::unlink(backup_.constData());
        else if (!inPlace_ && !temporary_.isEmpty())
            ::unlink(temporary_.constData());
    }
    if (fd_ >= 0)
        ::close(fd_);
    if (backupFd_ >= 0)
        ::close(backupFd_);
}
