// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileops/filewatch.h"

#include <QFileInfo>

FileWatch::FileWatch()
{
    gather_.setSingleShot(true);
    gather_.setInterval(GatherTime);
    QObject::connect(&gather_, &QTimer::timeout, &watcher_, [this] { flush(); });
    activity_.setInterval(ActivityTime);
    addWatch = [](QFileSystemWatcher &watcher, const QString &path) { return watcher.addPath(path); };
    QObject::connect(&activity_, &QTimer::timeout, &watcher_, [this] { poll(); });
    QObject::connect(&watcher_, &QFileSystemWatcher::fileChanged, &watcher_,
                     [this](const QString &path) { changed(path); });
    // A file replaced by a rename loses its watch with its old inode; the folder tells of the new one.
    QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_, [this](const QString &folder) {
        for (const QString &path : unwatched_) {
            if (QFileInfo(path).path() == folder)
                changed(path);
        }
    });
}

void FileWatch::watch(const QString &path)
{
    if (path.isEmpty() || watched_.contains(path))
        return;
    if (!QFileInfo(path).isFile() || !addWatch(watcher_, path)) {
        unwatched_.insert(path);
        activity_.start();
    } else {
        watched_.insert(path);
        unwatched_.remove(path);
    }
    const QString folder = QFileInfo(path).path();
    if (!folders_.contains(folder) && watcher_.addPath(folder))
        folders_.insert(folder);
}

void FileWatch::retryWhenActive(const QString &path)
{
    retry_.insert(path);
    activity_.start();
}

void FileWatch::changed(const QString &path)
{
    // After a removal or a rename over it the watch is gone or on the old file: the path is
    // watched afresh if a file is there.
    watcher_.removePath(path);
    watched_.remove(path);
    if (QFileInfo(path).isFile() && addWatch(watcher_, path)) {
        watched_.insert(path);
        unwatched_.remove(path);
    } else {
        unwatched_.insert(path);
    }
    due_.insert(path);
    if (!gather_.isActive())
        gather_.start();
}

void FileWatch::flush()
{
    const QStringList paths(due_.begin(), due_.end());
    due_.clear();
    if (check && !paths.isEmpty())
        check(paths);
}

void FileWatch::poll()
{
    const bool active = !windowActive || windowActive();
    if (active && !wasActive_) {
        QSet<QString> paths = unwatched_ + retry_;
        retry_.clear();
        for (const QString &path : paths)
            due_.insert(path);
        flush();
    }
    wasActive_ = active;
    if (unwatched_.isEmpty() && retry_.isEmpty())
        activity_.stop();
}
