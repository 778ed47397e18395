#pragma once

#include <QString>

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

namespace Pointer {
constexpr int Default = 0;
constexpr int Busy = 11;
constexpr int Custom = 99;
} // namespace Pointer

// The thirteen command buttons, named as the program names them.
enum class Button {
    PushButton1, PushButton2, PushButton3, PushButton4, PushButton5, PushButton6, PushButton7,
    PushButton8, PushButton9, PushButton11, PushButton12, PushButton13, PushButton14
};

// The main window as the logic sees it. Lengths are twips.
class Window {
public:
    virtual ~Window() = default;
    virtual void setCaption(const QString &caption) = 0;
    virtual QString caption() const = 0;
    virtual void setApplicationTitle(const QString &title) = 0;
    virtual void useProgramIcon() = 0;
    virtual WindowState windowState() const = 0;
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;

    virtual int buttonForeColor(Button button) const = 0;          // 0xBBGGRR
    virtual void setButtonForeColor(Button button, int color) = 0;
    virtual double buttonLeft(Button button) const = 0;
    virtual double buttonTop(Button button) const = 0;
    virtual double buttonHeight(Button button) const = 0;

    virtual int mousePointer() const = 0;
    virtual void setMousePointer(int pointer) = 0;
    virtual void loadMouseIcon(const QString &path) = 0; // throws Failure when unreadable
    virtual void setButtonFaceBackground() = 0;
    // Skin: loads a skin file, with a section name; throws Failure when it cannot be used.
    virtual void loadSkin(const QString &path, const QString &section) = 0;
    virtual int skinOptions() const = 0;
    virtual void setSkinOptions(int options) = 0;
    virtual void setSkinSwitches(bool first, bool second) = 0;
    virtual void applySkin() = 0;

    virtual QString programFolder() const = 0; // the folder that holds the program file

    // Restores the window if it is minimized, raises it and gives it the keyboard: the one way
    // in which the program brings itself to the user's attention.
    virtual void bringToFront() = 0;
};
