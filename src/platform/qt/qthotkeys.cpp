#include "platform/qt/qthotkeys.h"

#include "platform/qt/windowhotkeys.h"
#include "platform/qt/x11hotkeys.h"

#include <QGuiApplication>

std::unique_ptr<HotKeys> createHotKeys(QWidget *window)
{
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            if (xcb_connection_t *connection = x11->connection())
                return std::make_unique<X11HotKeys>(connection, window);
        }
    }
    return std::make_unique<WindowHotKeys>(window);
}
