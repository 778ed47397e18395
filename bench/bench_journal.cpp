// SPDX-License-Identifier: GPL-3.0-or-later
// Prints what drafts and followed files cost in the real window logic on a large file: the time
// of each key typed in bursts with the drafts on (the journal's share included), the interface
// time of each draft write, the bytes written for drafts per pause, and the interface time to
// follow a log that another program appends to.
// Run: QT_QPA_PLATFORM=offscreen build/release/bench/bench_journal [megabytes] [bursts] [pause ms]
#include "documents/drafts.h"
#include "fileops/filewatch.h"
#include "platform/qt/qtapplication.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

class NoPrompts : public Prompts {
public:
    int msgBox(const QString &text, int, const QString &) override
    {
        std::printf("  (box: %s)\n", qPrintable(text));
        return MsgResult::Cancel;
    }
    QString inputBox(const QString &, const QString &) override { return {}; }
    QString showOpen(const QString &, const QString &) override { return {}; }
    QString showSave(const QString &, const QString &) override { return {}; }
    int popupMenu(const QStringList &, double, double) override { return -1; }
    int editorMenu(const std::vector<MenuEntry> &, double, double) override { return -1; }
    int choose(const QString &, const QStringList &, int, const QString &) override { return -1; }
};

double ms(qint64 ns)
{
    return ns / 1e6;
}

qint64 key(QWidget *w)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(w, &up);
    QApplication::processEvents(); // the repaint
    return t.nsecsElapsed();
}

qint64 folderBytes(const QString &folder)
{
    qint64 n = 0;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        n += it.fileInfo().size();
    }
    return n;
}

qint64 percentile(std::vector<qint64> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * v.size()))];
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir dir;
    qputenv("HOME", dir.filePath("home").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    qputenv("XDG_STATE_HOME", dir.filePath("state").toLocal8Bit());
    QApplication qapp(argc, argv);
    const qint64 megabytes = argc > 1 ? std::atoll(argv[1]) : 100;
    const int bursts = argc > 2 ? std::atoi(argv[2]) : 100;
    const int pauseMs = argc > 3 ? std::atoi(argv[3]) : 4000;

    const QString path = dir.filePath("big.txt");
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        const QByteArray line = "Ünïcödé line with some words in it, and a number 1234567890.\n";
        QByteArray block;
        while (block.size() < (1 << 20))
            block += line;
        for (qint64 i = 0; i < megabytes; ++i)
            f.write(block);
    }
    NoPrompts prompts;
    QtApplication app(&prompts);
    app.start();
    Form1 &form = *app.form;
    QElapsedTimer t;
    t.start();
    form.OpenFile(path, false);
    QApplication::processEvents();
    std::printf("%lld MB open in %.0f ms\n", megabytes, ms(t.nsecsElapsed()));
    auto &editor = static_cast<QtEditor &>(form.currentEditor());
    editor.setSelStart(editor.textLength() / 2);
    const QString drafts = form.drafts->sessionFolder();

    std::vector<qint64> keys, writes, bytesPerPause;
    for (int b = 0; b < bursts; ++b) {
        for (int k = 0; k < 10; ++k)
            keys.push_back(key(editor.widget()));
        const qint64 before = folderBytes(drafts);
        // The pause: the draft timer fires within it and its write is timed.
        QElapsedTimer pause;
        pause.start();
        while (pause.elapsed() < pauseMs) {
            const bool due = app.draftTimer.isActive();
            QElapsedTimer w;
            w.start();
            QApplication::processEvents(QEventLoop::AllEvents, 20);
            if (due && !app.draftTimer.isActive())
                writes.push_back(w.nsecsElapsed());
        }
        form.drafts->waitIdle();
        bytesPerPause.push_back(folderBytes(drafts) - before);
    }
    std::printf("keys with drafts on: %zu in bursts of 10, %d ms pauses: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
                keys.size(), pauseMs, ms(percentile(keys, 0.5)), ms(percentile(keys, 0.99)), ms(percentile(keys, 1.0)));
    if (!writes.empty())
        std::printf("draft timer (journal handed to the writer): median %.2f ms, max %.2f ms of interface time\n",
                    ms(percentile(writes, 0.5)), ms(percentile(writes, 1.0)));
    std::printf("bytes written for drafts per pause (10 bytes changed): first %lld, then median %lld, max %lld\n",
                bytesPerPause.front(), percentile({bytesPerPause.begin() + 1, bytesPerPause.end()}, 0.5),
                percentile({bytesPerPause.begin() + 1, bytesPerPause.end()}, 1.0));

    // A log that another program appends to, followed by a document without unsaved changes.
    form.clickButton(Button::PushButton7);
    QElapsedTimer settle; // the save's own repaint and file events are not the log's
    settle.start();
    while (settle.elapsed() < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::vector<qint64> follows;
    qint64 followNs = 0;
    const auto check = form.fileWatch->check;
    form.fileWatch->check = [&](const QStringList &paths) {
        QElapsedTimer w;
        w.start();
        check(paths);
        editor.widget()->viewport()->repaint();
        followNs += w.nsecsElapsed();
    };
    for (int round = 0; round < 3; ++round) {
        {
            QFile f(path);
            f.open(QIODevice::Append);
            // Log lines, as a program writing a log adds them.
            QByteArray lines;
            while (lines.size() < (1 << 20))
                lines += "2026-12-08 16:00:00.000 worker[42]: request served in 12 ms, status 200, size 4096\n";
            f.write(lines);
        }
        QElapsedTimer wait;
        wait.start();
        // The work the change costs the interface thread: the check that follows the file, and
        // the repaint after it.
        const qint64 length = editor.utf8Length();
        while (editor.utf8Length() == length && wait.elapsed() < 30000)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        follows.push_back(followNs);
        followNs = 0;
    }
    std::printf("following a growing log (+1 MB a time): %.0f / %.0f / %.0f ms of interface time per change\n",
                ms(follows[0]), ms(follows[1]), ms(follows[2]));
    return 0;
}
