// SPDX-License-Identifier: GPL-3.0-or-later
// Prints how long the editor takes to load, edit and hand back large texts.
// Run: QT_QPA_PLATFORM=offscreen build/release/bench_editor [megabytes]
#include "platform/qt/qteditor.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <cstdio>

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

double ms(QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int megabytes = argc > 1 ? std::atoi(argv[1]) : 50;
    QWidget parent;
    parent.resize(800, 600);
    QtEditorFactory factory(&parent);
    auto *editor = static_cast<QtEditor *>(factory.createElement(0));
    parent.show();

    const QString text = makeText(qsizetype(megabytes) * 1024 * 1024);
    QElapsedTimer t;
    t.start();
    editor->setText(text);
    std::printf("load %d MB: %.1f ms\n", megabytes, ms(t));

    t.restart();
    QApplication::processEvents();
    std::printf("first paint: %.1f ms\n", ms(t));

    t.restart();
    const int length = editor->textLength();
    std::printf("textLength (%d units): %.3f ms\n", length, ms(t));

    const int keys = 200;
    t.restart();
    for (int i = 0; i < keys; ++i) {
        editor->setSelStart(length + i);
        editor->setSelText(QStringLiteral("x"));
    }
    std::printf("insert at the end: %.3f ms a key\n", ms(t) / keys);

    t.restart();
    for (int i = 0; i < keys; ++i) {
        editor->setSelStart(length / 2);
        (void)editor->selStart();
    }
    std::printf("caret round trip in the middle: %.3f ms\n", ms(t) / keys);

    t.restart();
    const QString back = editor->text();
    std::printf("whole text copy: %.1f ms (%lld units)\n", ms(t), static_cast<long long>(back.size()));
    return 0;
}
