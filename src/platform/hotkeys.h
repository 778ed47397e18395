// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

namespace HotKeyModifier {
constexpr int Control = 2;
} // namespace HotKeyModifier

// System-wide hot keys. Keys are given as the virtual-key codes of the letters ('A' .. 'Z').
class HotKeys {
public:
    virtual ~HotKeys() = default;
    // Returns false when the combination could not be registered (another client holds it).
    virtual bool registerHotKey(int id, int modifiers, int key) = 0;
    // Off: the combinations act only while the program's window is the active one, those
    // registered already as well. Where the window system offers nothing else, that is all there is.
    virtual void setSystemWide(bool on) { (void)on; }
    void setHotKeyHandler(std::function<void(int)> handler) { onHotKey_ = std::move(handler); }
    // Asked before a combination pressed while another application had the keyboard runs its
    // command. False: the command does not run, and the press goes back to that application
    // where the window system allows it.
    void setOutsideHandler(std::function<bool(int)> handler) { onOutside_ = std::move(handler); }

protected:
    void notifyHotKey(int id)
    {
        if (onHotKey_)
            onHotKey_(id);
    }
    bool mayRunFromOutside(int id) { return !onOutside_ || onOutside_(id); }

private:
    std::function<void(int)> onHotKey_;
    std::function<bool(int)> onOutside_;
};
