// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// The window's mouse pointer: the system's default, the busy pointer, or the hand of the
// pointer file, where one was loaded (the default otherwise).
enum class PointerKind { Default, Busy, Hand };

// The thirteen command buttons, named as the program names them.
enum class Button {
    PushButton1,
    PushButton2,
    PushButton3,
    PushButton4,
    PushButton5,
    PushButton6,
    PushButton7,
    PushButton8,
    PushButton9,
    PushButton11,
    PushButton12,
    PushButton13,
    PushButton14
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

    // Find Next is shown greyed while there is nothing to find again; it still runs when clicked.
    virtual bool findNextAvailable() const = 0;
    virtual void setFindNextAvailable(bool available) = 0;
    virtual double buttonLeft(Button button) const = 0;
    virtual double buttonTop(Button button) const = 0;
    virtual double buttonHeight(Button button) const = 0;

    virtual PointerKind mousePointer() const = 0;
    virtual void setMousePointer(PointerKind pointer) = 0;
    virtual void loadMouseIcon(const QString &path) = 0; // throws Failure when unreadable
    virtual void setButtonFaceBackground() = 0;
    // Skin: loads a skin file, throws Failure when it cannot be used; applySkin puts it on.
    virtual void loadSkin(const QString &path) = 0;
    virtual void applySkin() = 0;

    virtual QString programFolder() const = 0; // the folder that holds the program file

    // Restores the window if it is minimized, raises it and gives it the keyboard: the one way
    // in which the program brings itself to the user's attention.
    virtual void bringToFront() = 0;
    // The status line along the window's bottom edge, hidden until shown; its height in twips.
    virtual void setStatusLineVisible(bool) {}
    virtual void setStatusLineText(const QString &) {}
    virtual double statusLineHeight() const { return 0; }

    // Whether the window has the keyboard (no dialog of its own, no other program's window).
    virtual bool isActive() const { return true; }
};
