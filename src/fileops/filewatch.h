// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <functional>

// Tells when files that documents hold change on disk. Events are gathered for a moment, so that
// a file written many times a second costs one check; a file whose watch the system refuses
// (its limit of watches reached) is checked instead whenever `poll` finds the window active.
class FileWatch {
public:
    FileWatch();
    void watch(const QString &path);
    // Runs `check` for the gathered paths, and for the files without a watch when the window
    // becomes active.
    std::function<void(const QStringList &paths)> check;
    std::function<bool()> windowActive;
    // Ask again (at the next activation) about paths that could not be dealt with now.
    void retryWhenActive(const QString &path);
    // Adds a file's watch; false when the system refuses it (tests play a reached limit here).
    std::function<bool(QFileSystemWatcher &watcher, const QString &path)> addWatch;
    // How often, while some file has no watch, the window's activation is looked for.
    static constexpr int ActivityTime = 500;

    static constexpr int GatherTime = 200;

private:
    void changed(const QString &path);
    void flush();
    void poll();

    QFileSystemWatcher watcher_;
    QTimer gather_, activity_;
    // What the watcher holds, kept here too: its own lists are copied at each look, which costs
    // a copy of all of them per file when thousands are opened.
    QSet<QString> watched_, folders_;
    QSet<QString> due_, unwatched_, retry_;
    bool wasActive_ = true;
};
