// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/x11hotkeys.h"

#include "platform/qt/mainwindow.h"

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <utility>
#include <xcb/xcb_keysyms.h>

namespace {

constexpr quint32 KeysymNumLock = 0xff7f;
constexpr quint16 ModifierBits = 0xff; // the state's other bits are mouse buttons and the group

template <class T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

} // namespace

X11HotKeys::X11HotKeys(xcb_connection_t *connection, QWidget *window)
    : connection_(connection), window_(window), local_(window)
{
    local_.setHotKeyHandler([this](int id) { notifyHotKey(id); });
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeys::~X11HotKeys()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
    ungrabAll();
}

void X11HotKeys::ungrabAll()
{
    for (const Grab &g : grabs_) {
        for (quint16 lock : {quint16(0), quint16(XCB_MOD_MASK_LOCK), numLock_, quint16(XCB_MOD_MASK_LOCK | numLock_)})
            xcb_ungrab_key(connection_, g.keycode, root_, g.modifiers | lock);
    }
    xcb_flush(connection_);
}

void X11HotKeys::setSystemWide(bool on)
{
    systemWide_ = on;
    if (on)
        return;
    ungrabAll();
    // One registration may have grabbed several key codes; it becomes one shortcut.
    const std::vector<Grab> grabs = std::exchange(grabs_, {});
    std::set<int> moved;
    for (const Grab &g : grabs) {
        if (moved.insert(g.id).second)
            local_.registerHotKey(g.id, g.hotKeyModifiers, g.key);
    }
}

quint32 X11HotKeys::keysymOf(int key)
{
    if (key >= 'A' && key <= 'Z')
        return static_cast<quint32>('a' + (key - 'A'));
    if (key >= '0' && key <= '9')
        return static_cast<quint32>(key);
    return 0;
}

int X11HotKeys::modifierMask(int modifiers)
{
    // The hot-key modifier values: Alt 1, Control 2, Shift 4, the Windows key 8.
    if (modifiers & ~0xF)
        return -1;
    int mask = 0;
    if (modifiers & 1)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & HotKeyModifier::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & 4)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & 8)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

void X11HotKeys::resolveRoot()
{
    if (root_ != XCB_WINDOW_NONE)
        return;
    // The root of the screen the window is on.
    const auto window = static_cast<xcb_window_t>(window_->winId());
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(connection_, window);
    XcbReply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(connection_, treeCookie, nullptr), &std::free);
    if (tree)
        root_ = tree->root;
    else
        root_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data->root;

    // NumLock is whichever modifier the NumLock key is mapped to; usually Mod2.
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection_);
    XcbReply<xcb_keycode_t> numLockCodes(xcb_key_symbols_get_keycode(symbols, KeysymNumLock), &std::free);
    XcbReply<xcb_get_modifier_mapping_reply_t> map(
        xcb_get_modifier_mapping_reply(connection_, xcb_get_modifier_mapping(connection_), nullptr), &std::free);
    if (numLockCodes && map) {
        const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(map.get());
        const int perModifier = map->keycodes_per_modifier;
        for (int mod = 0; mod < 8; ++mod) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t code = codes[mod * perModifier + i];
                for (const xcb_keycode_t *n = numLockCodes.get(); code != 0 && *n != XCB_NO_SYMBOL; ++n) {
                    if (*n == code && mod > 2) // not Shift, Lock or Control
                        numLock_ = static_cast<quint16>(1 << mod);
                }
            }
        }
    }
    xcb_key_symbols_free(symbols);
}

quint16 X11HotKeys::lockModifiers() const
{
    return static_cast<quint16>(XCB_MOD_MASK_LOCK | numLock_);
}

bool X11HotKeys::registerHotKey(int id, int modifiers, int key)
{
    if (!systemWide_)
        return local_.registerHotKey(id, modifiers, key);
    const quint32 keysym = keysymOf(key);
    const int mask = modifierMask(modifiers);
    if (keysym == 0 || mask < 0)
        return false;
    resolveRoot();

    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection_);
    XcbReply<xcb_keycode_t> keycodes(xcb_key_symbols_get_keycode(symbols, keysym), &std::free);
    xcb_key_symbols_free(symbols);
    if (!keycodes || *keycodes == XCB_NO_SYMBOL)
        return false;

    // The combination with CapsLock and NumLock on as well, so that the locks do not turn it off.
    const quint16 base = static_cast<quint16>(mask);
    const quint16 variants[] = {0, XCB_MOD_MASK_LOCK, numLock_, lockModifiers()};
    std::vector<Grab> added;
    std::vector<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t *k = keycodes.get(); *k != XCB_NO_SYMBOL; ++k) {
        added.push_back({id, *k, base, modifiers, key});
        for (quint16 lock : variants) {
            cookies.push_back(
                xcb_grab_key_checked(connection_, 0, root_, base | lock, *k, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool ok = true;
    for (xcb_void_cookie_t cookie : cookies) {
        // BadAccess: another client holds this grab.
        if (xcb_generic_error_t *error = xcb_request_check(connection_, cookie)) {
            ok = false;
            std::free(error);
        }
    }
    if (!ok) {
        // Ungrabbing touches only this client's own grabs.
        for (const Grab &g : added) {
            for (quint16 lock : variants)
                xcb_ungrab_key(connection_, g.keycode, root_, g.modifiers | lock);
        }
        xcb_flush(connection_);
        return false;
    }
    grabs_.insert(grabs_.end(), added.begin(), added.end());
    return true;
}

bool X11HotKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t")
        return false;
    auto event = static_cast<xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Key press and release events share one layout.
    auto key = reinterpret_cast<xcb_key_press_event_t *>(event);
    if (key->event != root_ || root_ == XCB_WINDOW_NONE)
        return false;
    bool known = false;
    const Grab *match = nullptr;
    const quint16 state = key->state & ModifierBits & ~lockModifiers();
    for (const Grab &g : grabs_) {
        if (g.keycode != key->detail)
            continue;
        known = true;
        if (g.modifiers == state && !match)
            match = &g;
    }
    if (!known)
        return false;

    if (type == XCB_KEY_RELEASE) {
        down_.erase(key->detail);
        released_[key->detail] = key->time;
        return true;
    }
    // Auto-repeat gives either presses without releases in between, or a release and a press
    // carrying the same time.
    const auto released = released_.find(key->detail);
    const bool repeat = down_.count(key->detail) > 0 || (released != released_.end() && released->second == key->time);
    down_.insert(key->detail);
    // With a modifier more than the grab's (Shift pressed while the grab was active) it is no
    // shortcut.
    if (match && !repeat)
        dispatch(match->id, *key);
    return true;
}

void X11HotKeys::dispatch(int id, const xcb_key_press_event_t &press)
{
    // The command runs from the event loop, not inside Qt's reading of X events. Like a click,
    // it does not reach the window while a modal box, a dialog or a popup menu is open.
    QMetaObject::invokeMethod(
        &context_,
        [this, id, press] {
            if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
                return;
            auto main = qobject_cast<MainWindow *>(window_);
            if (!main) {
                notifyHotKey(id);
                return;
            }
            const xcb_window_t focus = keyboardWindow();
            const bool outside = !isOwn(focus);
            main->runShortcut(
                [this, id, outside, focus, press] {
                    if (outside && !mayRunFromOutside(id))
                        giveBack(focus, press);
                    else
                        notifyHotKey(id);
                },
                outside, [this, time = press.time] { takeFocus(time); });
        },
        Qt::QueuedConnection);
}

xcb_window_t X11HotKeys::keyboardWindow() const
{
    // Asked of the X server: Qt learns of a lost focus only some time after the fact.
    XcbReply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr), &std::free);
    if (!focus)
        return window_->isActiveWindow() ? static_cast<xcb_window_t>(window_->winId()) : xcb_window_t(XCB_WINDOW_NONE);
    return focus->focus;
}

bool X11HotKeys::isOwn(xcb_window_t w) const
{
    const auto own = static_cast<xcb_window_t>(window_->winId());
    while (w != XCB_WINDOW_NONE && w != root_ && w != XCB_INPUT_FOCUS_POINTER_ROOT) {
        if (w == own)
            return true;
        XcbReply<xcb_query_tree_reply_t> tree(
            xcb_query_tree_reply(connection_, xcb_query_tree(connection_, w), nullptr), &std::free);
        if (!tree)
            break;
        w = tree->parent;
    }
    return false;
}

void X11HotKeys::giveBack(xcb_window_t window, xcb_key_press_event_t press)
{
    if (window == XCB_WINDOW_NONE || window == XCB_INPUT_FOCUS_POINTER_ROOT || window == root_)
        return;
    // The window that had the keyboard gets it back, then the press and its release as sent
    // events: most programs take them; a few (xterm by default) ignore keys sent that way.
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window, XCB_CURRENT_TIME);
    for (const quint8 type : {quint8(XCB_KEY_PRESS), quint8(XCB_KEY_RELEASE)}) {
        xcb_key_press_event_t e = press;
        e.response_type = type;
        e.event = window;
        e.child = XCB_WINDOW_NONE;
        e.same_screen = 1;
        xcb_send_event(connection_, 1, window,
                       type == XCB_KEY_PRESS ? quint32(XCB_EVENT_MASK_KEY_PRESS) : quint32(XCB_EVENT_MASK_KEY_RELEASE),
                       reinterpret_cast<const char *>(&e));
    }
    xcb_flush(connection_);
}

void X11HotKeys::takeFocus(xcb_timestamp_t time)
{
    // Qt asks for the focus with the time of the last event it saw itself, which is older than
    // the press: the X server would refuse it. The press's own time is the user's request.
    const auto window = static_cast<xcb_window_t>(window_->winId());
    const char name[] = "_NET_ACTIVE_WINDOW";
    XcbReply<xcb_intern_atom_reply_t> atom(
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, sizeof(name) - 1, name), nullptr),
        &std::free);
    if (atom) {
        // For a window manager: source 1 is an application, acting on the user's key press.
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = atom->atom;
        message.data.data32[0] = 1;
        message.data.data32[1] = time;
        xcb_send_event(connection_, 0, root_, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char *>(&message));
    }
    // Without a window manager nobody else hands the keyboard over.
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window, time);
    xcb_flush(connection_);
}
