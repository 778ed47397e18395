#include "platform/qt/qtapplication.h"
#include "app/layout.h"
#include "platform/qt/twips.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <cstdio>
#include <cstdlib>
#include <xcb/xcb.h>

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
    xcb_connection_t *c = xcb_connect(display.constData(), nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    if (!ok)
        std::fprintf(stderr, "marquill: cannot open the display %s.\n", display.constData());
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable())
        return 1;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marquill"));
    QApplication::setQuitOnLastWindowClosed(false);
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        // On a screen too narrow for the command buttons (a scale factor of 2 on 1280 pixels) the
        // whole design shrinks to fit, borders included.
        Twips::setDpi(screen->logicalDotsPerInchX());
        const int frame = 2 * QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
        const double scale =
            Layout::fitScale(screen->availableGeometry().width() - frame, Twips::toPixels(Layout::ButtonsWidth));
        Twips::setDpi(Twips::dpi() * scale);
    }

    QtApplication marquill;
    marquill.window.onUnloaded = [] { QCoreApplication::exit(0); };
    marquill.start();
    return app.exec();
}
