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
    // Off: the combinations registered from then on act only while the program's window is the
    // active one. Where the window system offers nothing else, that is all there is.
    virtual void setSystemWide(bool on) { (void)on; }
    void setHotKeyHandler(std::function<void(int)> handler) { onHotKey_ = std::move(handler); }

protected:
    void notifyHotKey(int id)
    {
        if (onHotKey_)
            onHotKey_(id);
    }

private:
    std::function<void(int)> onHotKey_;
};
