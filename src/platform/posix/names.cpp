// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include "platform/rawutf8.h"

#include <QFile>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QByteArray nameBytes(const QString &name)
{
    return RawUtf8::fromText(name);
}

QString nameFromBytes(QByteArrayView bytes)
{
    return RawUtf8::toText(bytes);
}

QString shownName(const QString &name)
{
    QString shown = name;
    for (QChar &c : shown) {
        if (c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF)
            c = QChar::ReplacementCharacter;
    }
    return shown;
}

NameStatus nameStatus(const QString &path, bool followLinks)
{
    NameStatus status;
    struct stat st;
    const QByteArray name = nameBytes(path);
    if (path.isEmpty() || (followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return status;
    const auto ms = [](const struct timespec &t) { return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000; };
    status.exists = true;
    status.link = S_ISLNK(st.st_mode);
    status.file = S_ISREG(st.st_mode);
    status.folder = S_ISDIR(st.st_mode);
    status.size = st.st_size;
    status.modified = ms(st.st_mtim);
    status.changed = ms(st.st_ctim);
    status.identity = {quint64(st.st_dev), quint64(st.st_ino)};
    return status;
}

bool openForReading(QFile &file, const QString &path, bool followLinks)
{
    const int fd = ::open(nameBytes(path).constData(), O_RDONLY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return false;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    const int error = errno;
    ::close(fd);
    errno = error;
    return false;
}

QString canonicalName(const QString &path)
{
    char *resolved = ::realpath(nameBytes(path).constData(), nullptr);
    if (!resolved)
        return {};
    const QString name = nameFromBytes(resolved);
    std::free(resolved);
    return name;
}

QString currentFolder()
{
    char *folder = ::getcwd(nullptr, 0);
    if (!folder)
        return QStringLiteral("/");
    const QString name = nameFromBytes(folder);
    std::free(folder);
    return name;
}
