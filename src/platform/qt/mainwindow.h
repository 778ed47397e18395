// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/window.h"

#include <QCursor>
#include <QMap>
#include <QWidget>
#include <functional>
#include <optional>

class QPushButton;
class QLabel;

inline constexpr int FindNextGrey = 8421504; // 0x808080: the caption colour of an unavailable Find Next
class QWheelEvent;
class QContextMenuEvent;
class QKeyEvent;
class Form1;

// The main window: two rows of command buttons above the tab strip.
class MainWindow : public QWidget, public Window {
    Q_OBJECT
public:
    MainWindow();
    ~MainWindow() override;

    void setForm(Form1 *form) { form_ = form; }
    QPushButton *button(Button b) const { return buttons_.value(b); }
    const std::optional<QCursor> &mouseIcon() const { return mouseIcon_; }

    void setCaption(const QString &caption) override;
    QString caption() const override;
    void setApplicationTitle(const QString &title) override;
    QString applicationTitle() const { return appTitle_; }
    void useProgramIcon() override;
    WindowState windowState() const override;
    double scaleWidth() const override;
    double scaleHeight() const override;
    bool findNextAvailable() const override;
    void setFindNextAvailable(bool available) override;
    // The colour of a button's caption, 0xBBGGRR; FindNextGrey on an unavailable Find Next.
    int buttonForeColor(Button button) const;
    void setButtonForeColor(Button button, int color);
    double buttonLeft(Button button) const override;
    double buttonTop(Button button) const override;
    double buttonHeight(Button button) const override;
    PointerKind mousePointer() const override { return pointer_; }
    void setMousePointer(PointerKind pointer) override;
    void loadMouseIcon(const QString &path) override;
    void setButtonFaceBackground() override;
    void loadSkin(const QString &path) override;
    void applySkin() override;
    QString programFolder() const override;
    void bringToFront() override;
    bool isActive() const override { return isActiveWindow(); }
    // The status line (mainwindowstatus.cpp): a label named "statusLine" along the bottom edge.
    void setStatusLineVisible(bool visible) override;
    void setStatusLineText(const QString &text) override;
    double statusLineHeight() const override;
    QLabel *statusLine() const { return statusLine_; }

    // Set by the program: where the program file lives (tests point it elsewhere).
    void setProgramFolder(const QString &folder) { programFolder_ = folder; }
    // What happens once the window has been unloaded (the program ends).
    std::function<void()> onUnloaded;

    // Runs the command of a shortcut. Pressed while another application had the keyboard, the
    // window first comes to the front (takeFocus hands it the keyboard the window system's way),
    // and the questions the command asks hold off the keyboard for a moment.
    void runShortcut(const std::function<void()> &command, bool fromOutside,
                     const std::function<void()> &takeFocus = {});
    bool questionsHoldKeys() const { return questionsHoldKeys_; }
    // Puts the window on the screen it is on, title bar first (see Layout::placeWindow).
    void placeOnScreen();

protected:
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void mouseMoveEvent(QMouseEvent *e) override;
    void changeEvent(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    // Sees every event of the program and passes those of this window's widgets on.
    class ApplicationFilter : public QObject {
    public:
        explicit ApplicationFilter(MainWindow *window) : QObject(window), window_(window) {}
        bool eventFilter(QObject *watched, QEvent *e) override { return window_->applicationEvent(watched, e); }

    private:
        MainWindow *window_;
    };
    bool applicationEvent(QObject *watched, QEvent *e);
    bool takeDrop(QEvent *e);
    bool zoomByWheel(QObject *watched, QWheelEvent *e);
    // The keyboard's ways around the window (windowkeys.cpp): redo, zoom, Replace, F3, Go to Line, the editor's
    // menu, F6 between the editor and the buttons, and moving across the buttons.
    void installWindowKeys();
    bool editorMenuEvent(QObject *watched, QContextMenuEvent *e);
    void showEditorMenu(QWidget *at, QPoint point);
    bool buttonKey(QObject *watched, QKeyEvent *e);
    void focusButton(Button b);
    void placeStatusLine();

    Form1 *form_ = nullptr;
    QMap<Button, QPushButton *> buttons_;
    QMap<Button, int> foreColors_;
    QString appTitle_;
    QString programFolder_;
    PointerKind pointer_ = PointerKind::Default;
    std::optional<QCursor> mouseIcon_;
    QString skinSheet_;
    ApplicationFilter *appFilter_ = nullptr;
    int wheelZoom_ = 0; // wheel steps not yet turned into a zoom step
    bool questionsHoldKeys_ = false;
    QLabel *statusLine_ = nullptr;
};
