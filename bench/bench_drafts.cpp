// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long typing stalls while the draft of a large document is taken and written: the
// copy of the buffer on the user-interface thread, and keystrokes while the worker writes it.
// Run: QT_QPA_PLATFORM=offscreen build/release/bench_drafts [megabytes]
#include "documents/drafts.h"
#include "platform/qt/qteditor.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

QString makeText(qsizetype bytes)
{
    const QString line = QStringLiteral("Ünïcödé line with some words in it, and a number 1234567890.\r\n");
    QString text;
    text.reserve(bytes);
    while (text.size() < bytes)
        text += line;
    return text;
}

double ms(qint64 ns)
{
    return ns / 1e6;
}

// One typed character, as it reaches the editor; returns the time it took in ns.
qint64 key(QtEditor &editor)
{
    QElapsedTimer t;
    t.start();
    QKeyEvent down(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(editor.widget(), &down);
    QKeyEvent up(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(editor.widget(), &up);
    return t.nsecsElapsed();
}

void summary(const char *what, std::vector<qint64> times)
{
    std::sort(times.begin(), times.end());
    std::printf("%s: %zu keys, median %.2f ms, max %.2f ms\n", what, times.size(), ms(times[times.size() / 2]),
                ms(times.back()));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 100;
    QWidget parent;
    parent.resize(800, 600);
    QtEditorFactory factory(&parent);
    auto *editor = static_cast<QtEditor *>(factory.createElement(0));
    parent.show();
    editor->setText(makeText(qsizetype(megabytes) * 1024 * 1024));
    editor->setSelStart(editor->textLength() / 2); // typing in the middle: the buffer's gap is there
    editor->setFocus();
    QApplication::processEvents();

    std::vector<qint64> plain;
    for (int i = 0; i < 50; ++i)
        plain.push_back(key(*editor));
    summary("typing, no draft", plain);

    QTemporaryDir dir;
    DraftStore store(dir.path());
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer t;
        t.start();
        const QByteArray copy = editor->utf8();
        const qint64 copyNs = t.nsecsElapsed();
        const qint64 firstKey = key(*editor); // the gap goes back to the caret
        std::printf("round %d: copy of %.1f MB on the UI thread %.1f ms, first key after it %.2f ms\n", round,
                    copy.size() / 1048576.0, ms(copyNs), ms(firstKey));

        t.restart();
        store.write(0, QByteArrayLiteral("Marquill draft 2\n\n"), {JournalRecord{0, 0, copy}});
        std::vector<qint64> during;
        // Keys at a quick typist's pace until the worker is done.
        for (;;) {
            during.push_back(key(*editor));
            QElapsedTimer pause;
            pause.start();
            while (pause.elapsed() < 5)
                QApplication::processEvents(QEventLoop::AllEvents, 1);
            if (t.elapsed() > 30000)
                break;
            if (store.idle())
                break;
        }
        std::printf("round %d: write %.1f ms\n", round, ms(t.nsecsElapsed()));
        summary("typing while the worker writes", during);
    }

    // What the changed-on-disk check adds to opening and saving a file of that size: the stamp
    // reads and hashes the file; the check before a save only stats it unless the file was touched.
    const QString path = dir.filePath(QStringLiteral("big.txt"));
    {
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(editor->utf8());
    }
    QElapsedTimer t;
    t.start();
    const FileStamp stamp = stampFile(path);
    std::printf("stamp of the %.1f MB file (read and hash): %.1f ms\n", stamp.size / 1048576.0, ms(t.nsecsElapsed()));
    t.restart();
    checkFile(stamp);
    std::printf("check of an unchanged file: %.3f ms\n", ms(t.nsecsElapsed()));
    QFile f(path);
    f.open(QIODevice::ReadWrite);
    f.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime);
    f.close();
    t.restart();
    checkFile(stamp);
    std::printf("check of a touched file (hash compared): %.1f ms\n", ms(t.nsecsElapsed()));
    return 0;
}
