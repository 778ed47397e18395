// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qthotkeys.h"

#include "platform/qt/windowhotkeys.h"
#ifdef MARQUILL_X11
#include "platform/qt/x11hotkeys.h"
#endif

#include <QGuiApplication>

std::unique_ptr<HotKeys> createHotKeys(QWidget *window)
{
#ifdef MARQUILL_X11
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        if (auto x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()) {
            if (xcb_connection_t *connection = x11->connection())
                return std::make_unique<X11HotKeys>(connection, window);
        }
    }
#endif
    return std::make_unique<WindowHotKeys>(window);
}
