// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"

#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

bool makePrivateFolder(const QString &path)
{
    const QByteArray name = nameBytes(path);
    struct stat st {};
    if (::lstat(name.constData(), &st) != 0) {
        if (errno != ENOENT)
            return false;
        const QString parent = QFileInfo(path).path();
        if (parent != path && !makePrivateFolder(parent))
            return false;
        if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
            return false;
        if (::lstat(name.constData(), &st) != 0)
            return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return (st.st_mode & 07777) == 0700 || ::chmod(name.constData(), 0700) == 0;
}
