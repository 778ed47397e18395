// SPDX-License-Identifier: GPL-3.0-or-later
// Throughput of the text-file codec on a 50 MB file: decode and encode in each encoding, and a
// whole read and atomic write through the file system. Prints its figures; asserts nothing.
#include "fileops/textcodec.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

constexpr qsizetype TargetBytes = 50 * 1024 * 1024;

// Mostly ASCII prose with some accented letters and symbols, lines of varying length.
QString sampleText()
{
    const QString words[] = {QStringLiteral("the"),  QStringLiteral("quick"), QStringLiteral("brown"),
                             QStringLiteral("fox"),  QStringLiteral("café"),  QStringLiteral("naïve"),
                             QStringLiteral("€42"),  QStringLiteral("jumps"), QStringLiteral("over"),
                             QStringLiteral("lazy"), QStringLiteral("dog"),   QStringLiteral("Ÿes")};
    QString text;
    text.reserve(TargetBytes);
    quint32 seed = 1;
    int onLine = 0;
    while (text.size() < TargetBytes) {
        seed = seed * 1103515245 + 12345;
        text += words[(seed >> 16) % std::size(words)];
        if (++onLine >= 4 + int((seed >> 8) % 20)) {
            text += QStringLiteral("\r\n");
            onLine = 0;
        } else {
            text += QLatin1Char(' ');
        }
    }
    return text;
}

double run(const char *what, qsizetype bytes, const std::function<void()> &work)
{
    QElapsedTimer t;
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        t.start();
        work();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    std::printf("%-34s %8.1f ms %8.1f MB/s\n", what, best * 1e3, bytes / 1048576.0 / best);
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString text = sampleText();
    std::printf("text: %lld UTF-16 units\n", static_cast<long long>(text.size()));

    struct Kind {
        const char *name;
        TextFormat format;
    };
    const Kind kinds[] = {
        {"UTF-8, LF", {TextEncoding::Utf8, LineBreaks::LF}},
        {"UTF-8, CRLF", {TextEncoding::Utf8, LineBreaks::CRLF}},
        {"code page, CRLF", {TextEncoding::CodePage, LineBreaks::CRLF}},
        {"UTF-16 LE, LF", {TextEncoding::Utf16LE, LineBreaks::LF}},
    };
    for (const Kind &k : kinds) {
        TextFormat format = k.format;
        const QByteArray bytes = encodeText(text, format);
        std::printf("\n%s: %.1f MB\n", k.name, bytes.size() / 1048576.0);
        run("  decode", bytes.size(), [&] {
            volatile auto n = decodeText(bytes).text.size();
            (void)n;
        });
        run("  encode", bytes.size(), [&] {
            TextFormat f = k.format;
            volatile auto n = encodeText(text, f).size();
            (void)n;
        });
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.txt"));
    TextFormat format{TextEncoding::Utf8, LineBreaks::LF};
    const qsizetype size = encodeText(text, format).size();
    std::printf("\nfiles (UTF-8, LF):\n");
    run("  SaveTextFile (atomic, synced)", size, [&] { SaveTextFile(text, path, format); });
    run("  readTextFile", size, [&] {
        volatile auto n = readTextFile(path).text.size();
        (void)n;
    });
    return 0;
}
