// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/commandline.h"
#include "app/layout.h"
#include "platform/files.h"
#include "platform/qt/qtapplication.h"
#include "platform/qt/singleinstance.h"
#include "platform/qt/twips.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStyle>
#include <QTranslator>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#ifdef MARQUILL_X11
#include <xcb/xcb.h>
#endif

#ifndef MARQUILL_VERSION
#define MARQUILL_VERSION "0"
#endif

namespace {

// Says in one line why no window can be shown, instead of Qt's abort.
bool displayAvailable()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return true;
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        std::fprintf(stderr, "marquill: no display found (DISPLAY is not set); start it inside a desktop session.\n");
        return false;
    }
#ifdef MARQUILL_X11
    xcb_connection_t *c = xcb_connect(display.constData(), nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    if (!ok)
        std::fprintf(stderr, "marquill: cannot open the display %s.\n", display.constData());
    return ok;
#else
    return true; // Qt says itself when it cannot open the display
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    // The arguments are read before anything needs a display, so --help works anywhere.
    // By their bytes, as names: a file name that is no UTF-8 still names its file.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << nameFromBytes(argv[i]);
    const CommandLine command = parseCommandLine(arguments, currentFolder());
    if (!command.error.isEmpty()) {
        std::fprintf(stderr, "marquill: %s\nTry 'marquill --help' for more information.\n", qPrintable(command.error));
        return 2;
    }
    if (command.help) {
        std::fputs(qPrintable(command.helpText), stdout);
        return 0;
    }
    if (command.version) {
        std::printf("marquill %s\n", MARQUILL_VERSION);
        return 0;
    }
    if (!displayAvailable())
        return 1;
    // "-": the text of standard input, read whole before anything else, byte for byte.
    OpenTargets targets = command.targets;
    for (auto t = targets.begin(); t != targets.end();) {
        if (!t->standardInput) {
            ++t;
        } else if (::isatty(STDIN_FILENO)) {
            std::fprintf(stderr, "marquill: standard input is a terminal; nothing is read from it.\n");
            t = targets.erase(t);
        } else {
            QFile input;
            if (input.open(stdin, QIODevice::ReadOnly))
                t->text = input.readAll();
            ++t;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marquill"));
    QApplication::setApplicationVersion(QStringLiteral(MARQUILL_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.marquill.Marquill"));
    QApplication::setQuitOnLastWindowClosed(false);
    // The user's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as QLocale reads them): Marquill's
    // own texts, embedded under :/translations, then Qt's and QScintilla's texts (the standard
    // dialogs' buttons, the editor's menu) in that same language, so that the window speaks one
    // language. English is the program's own and needs none.
    QTranslator marquillTexts, qtTexts, editorTexts;
    if (marquillTexts.load(QLocale(), QStringLiteral("marquill"), QStringLiteral("_"),
                           QStringLiteral(":/translations"))) {
        QCoreApplication::installTranslator(&marquillTexts);
        const QLocale language(marquillTexts.language());
        const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (qtTexts.load(language, QStringLiteral("qtbase"), QStringLiteral("_"), qtFolder))
            QCoreApplication::installTranslator(&qtTexts);
        if (editorTexts.load(language, QStringLiteral("qscintilla"), QStringLiteral("_"), qtFolder))
            QCoreApplication::installTranslator(&editorTexts);
    }
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        // On a screen too narrow for the command buttons (a scale factor of 2 on 1280 pixels) the
        // whole design shrinks to fit, borders included.
        Twips::setDpi(screen->logicalDotsPerInchX());
        const int frame = 2 * QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
        const double scale =
            Layout::fitScale(screen->availableGeometry().width() - frame, Twips::toPixels(Layout::ButtonsWidth));
        Twips::setDpi(Twips::dpi() * scale);
    }

    // One window per user session: a running one takes this start's files. The socket is
    // answered from the start on, also while this window reopens its files.
    QString why;
    SingleInstance instance(SingleInstance::defaultSocketPath(&why));
    OpenTargets &files = targets;
    // What the running window took is not opened again; a text too large to hand over opens here.
    const auto keepUnhanded = [&files](qsizetype handed) { files.erase(files.begin(), files.begin() + handed); };
    if (instance.socketPath().isEmpty()) {
        std::fprintf(stderr, "marquill: later starts will open windows of their own: %s\n", qPrintable(why));
    } else {
        qsizetype handed = 0;
        if (instance.sendTargets(files, 5000, &handed))
            return 0;
        keepUnhanded(handed);
        const SingleInstance::Listen listening = instance.listen();
        if (listening == SingleInstance::Listen::OtherRunning) {
            // Another start came up at the same moment and listens now.
            if (instance.sendTargets(files, 5000, &handed))
                return 0;
            keepUnhanded(handed);
        }
        if (listening == SingleInstance::Listen::Failed)
            std::fprintf(stderr, "marquill: later starts will open windows of their own: %s\n",
                         qPrintable(instance.errorString()));
    }

    QtApplication marquill;
    instance.onOpen = [&marquill](const OpenTargets &handedOver) { marquill.anotherStartWith(handedOver); };
    marquill.window.onUnloaded = [] { QCoreApplication::exit(0); };
    marquill.startWith(files);
    return app.exec();
}
