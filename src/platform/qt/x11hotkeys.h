// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/hotkeys.h"
#include "platform/qt/windowhotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <map>
#include <set>
#include <vector>
#include <xcb/xcb.h>

class QWidget;

// System-wide hot keys on X11: passive grabs of the combinations on the root window, so that
// a press reaches this program whichever window has the keyboard. The presses arrive as core
// key events on the root window, taken out of Qt's event stream by a native event filter.
class X11HotKeys : public HotKeys, public QAbstractNativeEventFilter {
public:
    X11HotKeys(xcb_connection_t *connection, QWidget *window);
    ~X11HotKeys() override;

    // Fails when the key has no key code in the current keyboard map, or when another client
    // already holds one of the combination's grabs; then nothing of it stays grabbed.
    bool registerHotKey(int id, int modifiers, int key) override;
    // Off: the grabs, and later registrations, become shortcuts of the window.
    void setSystemWide(bool on) override;
    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // Key symbol of a letter or digit given as its virtual-key code, 0 for any other key.
    static quint32 keysymOf(int key);
    // X modifier mask of the hot-key modifiers; -1 when one of them has no X counterpart.
    static int modifierMask(int modifiers);

private:
    struct Grab {
        int id;
        xcb_keycode_t keycode;
        quint16 modifiers;
        int hotKeyModifiers, key; // as registered
    };
    void resolveRoot();
    quint16 lockModifiers() const;
    void dispatch(int id, const xcb_key_press_event_t &press);
    void takeFocus(xcb_timestamp_t time);
    // The window that has the keyboard, as the X server says.
    xcb_window_t keyboardWindow() const;
    bool isOwn(xcb_window_t window) const;
    void giveBack(xcb_window_t window, xcb_key_press_event_t press);
    void ungrabAll();

    xcb_connection_t *connection_;
    QWidget *window_;
    xcb_window_t root_ = XCB_WINDOW_NONE;
    quint16 numLock_ = XCB_MOD_MASK_2;
    std::vector<Grab> grabs_;
    std::set<xcb_keycode_t> down_;
    std::map<xcb_keycode_t, xcb_timestamp_t> released_;
    QObject context_; // queued commands die with this object
    bool systemWide_ = true;
    WindowHotKeys local_;
};
