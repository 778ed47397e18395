// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileops/filestamp.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QStringList>

namespace {

// Size, times and identity of the regular file at `target`, whose links are not followed; no hash.
// False when there is no such file.
bool readMetadata(const QString &target, FileStamp &stamp)
{
    const NameStatus status = nameStatus(target, false);
    if (!status.file)
        return false;
    stamp.size = status.size;
    stamp.modified = status.modified;
    stamp.changed = status.changed;
    stamp.device = status.identity.device;
    stamp.inode = status.identity.inode;
    return true;
}

// A 64-bit fingerprint of the bytes, chained over blocks. Not cryptographic: it tells this
// document's own bytes from another program's, at the speed of reading the file.
QByteArray hashOf(const QString &target, bool &ok)
{
    QFile f;
    // Never through a link that took the file's place.
    ok = openForReading(f, target, false);
    if (!ok)
        return {};
    constexpr qint64 Block = 1 << 20;
    QByteArray block(Block, Qt::Uninitialized);
    quint64 h = 0x6d617271756c6c; // any fixed seed
    qint64 total = 0;
    for (;;) {
        const qint64 n = f.read(block.data(), Block);
        if (n < 0) {
            ok = false;
            return {};
        }
        if (n == 0)
            break;
        h = qHashBits(block.constData(), static_cast<size_t>(n), static_cast<size_t>(h));
        total += n;
    }
    h = qHashBits(&total, sizeof total, static_cast<size_t>(h));
    return QByteArray(reinterpret_cast<const char *>(&h), sizeof h);
}

} // namespace

FileStamp stampFile(const QString &path)
{
    return stampFile(path, resolveLinks(path));
}

FileStamp stampFile(const QString &path, const QString &target)
{
    FileStamp stamp;
    bool ok = readMetadata(target, stamp);
    if (ok)
        stamp.hash = hashOf(target, ok);
    if (!ok)
        stamp = {};
    stamp.path = path;
    stamp.target = target;
    return stamp;
}

DiskState checkFile(const FileStamp &recorded, FileIdentity *seen)
{
    const QString target = recorded.target.isEmpty() ? resolveLinks(recorded.path) : recorded.target;
    if (!nameStatus(target, false).exists)
        return DiskState::Removed;
    FileStamp now;
    if (!readMetadata(target, now))
        return DiskState::Changed;
    if (seen)
        *seen = {now.device, now.inode};
    if (now.size != recorded.size)
        return DiskState::Changed;
    if (now.modified == recorded.modified && now.changed == recorded.changed && now.device == recorded.device &&
        now.inode == recorded.inode)
        return DiskState::Same;
    // Touched, or written again with the same bytes: only the content decides.
    bool ok = false;
    const QByteArray hash = hashOf(target, ok);
    return ok && hash == recorded.hash ? DiskState::Same : DiskState::Changed;
}

bool isSameFile(const QString &a, const QString &b)
{
    const QString here = currentFolder();
    if (QDir::cleanPath(QDir(here).absoluteFilePath(a)) == QDir::cleanPath(QDir(here).absoluteFilePath(b)))
        return true;
    const QString ca = canonicalName(a);
    return !ca.isEmpty() && ca == canonicalName(b);
}

QString stampToText(const FileStamp &stamp)
{
    if (!stamp.known())
        return {};
    return QStringLiteral("%1 %2 %3 %4 %5 %6")
        .arg(stamp.size)
        .arg(stamp.modified)
        .arg(stamp.changed)
        .arg(stamp.device)
        .arg(stamp.inode)
        .arg(QString::fromLatin1(stamp.hash.toHex()));
}

FileStamp stampFromText(const QString &path, const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(' '));
    if (path.isEmpty() || parts.size() != 6)
        return {};
    FileStamp stamp;
    bool ok[5] = {};
    stamp.size = parts[0].toLongLong(&ok[0]);
    stamp.modified = parts[1].toLongLong(&ok[1]);
    stamp.changed = parts[2].toLongLong(&ok[2]);
    stamp.device = parts[3].toULongLong(&ok[3]);
    stamp.inode = parts[4].toULongLong(&ok[4]);
    for (bool b : ok) {
        if (!b)
            return {};
    }
    stamp.hash = QByteArray::fromHex(parts[5].toLatin1());
    stamp.path = path;
    return stamp;
}
