#include "platform/qt/mainwindow.h"

#include "app/failure.h"
#include "app/form1.h"
#include "app/look.h"
#include "platform/qt/stylesheetcheck.h"
#include "platform/qt/twips.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QFile>
#include <QIcon>
#include <QImageReader>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStringDecoder>

namespace {

struct ButtonDesign {
    Button id;
    const char *name;
    const char *caption;
    int left, top, width;
};

// Twips from the top left of the client area; every button is 405 twips high.
constexpr ButtonDesign Buttons[] = {
    {Button::PushButton2, "PushButton2", "New (Ctrl+N)", 120, 120, 1560},
    {Button::PushButton1, "PushButton1", "Open (Ctrl+O)", 1800, 120, 1800},
    {Button::PushButton4, "PushButton4", "Recent Files", 3720, 120, 1560},
    {Button::PushButton7, "PushButton7", "Save (Ctrl+S)", 5400, 120, 1560},
    {Button::PushButton14, "PushButton14", "Save As (Ctrl+A)", 7080, 120, 1920},
    {Button::PushButton8, "PushButton8", "Save All", 9120, 120, 1080},
    {Button::PushButton6, "PushButton6", "Undo (Ctrl+Z)", 120, 630, 1560},
    {Button::PushButton9, "PushButton9", "Redo", 1800, 630, 840},
    {Button::PushButton3, "PushButton3", "Find", 2760, 630, 1080},
    {Button::PushButton13, "PushButton13", "Find Next", 3960, 630, 1200},
    {Button::PushButton5, "PushButton5", "Select All", 5280, 630, 1200},
    {Button::PushButton11, "PushButton11", "Close (Ctrl+W)", 6600, 630, 1800},
    {Button::PushButton12, "PushButton12", "Close All", 8520, 630, 1320},
};
constexpr int ButtonHeight = 405;

const ButtonDesign &design(Button b)
{
    for (const auto &d : Buttons) {
        if (d.id == b)
            return d;
    }
    return Buttons[0];
}

QColor fromBgr(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace

MainWindow::MainWindow()
{
    setObjectName(QStringLiteral("Form1"));
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPointSizeF(9);
    windowFont.setBold(true);
    setFont(windowFont);
    setMouseTracking(true);

    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPointSizeF(11.25);
    buttonFont.setBold(true);
    for (const auto &d : Buttons) {
        auto b = new QPushButton(QString::fromLatin1(d.caption), this);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setFont(buttonFont);
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        b->setGeometry(Twips::toPixels(d.left), Twips::toPixels(d.top), Twips::toPixels(d.width), Twips::toPixels(ButtonHeight));
        b->setMouseTracking(true);
        b->installEventFilter(this);
        const Button id = d.id;
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (form_)
                form_->clickButton(id);
        });
        buttons_.insert(d.id, b);
        foreColors_.insert(d.id, 0);
    }
    resize(Twips::toPixels(12105), Twips::toPixels(9165));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::setCaption(const QString &caption)
{
    setWindowTitle(caption);
}

QString MainWindow::caption() const
{
    return windowTitle();
}

void MainWindow::setApplicationTitle(const QString &title)
{
    // Kept here, not as Qt's application display name: Qt would append that to the caption of
    // every other window, so the dialogs would no longer show their own titles.
    appTitle_ = title;
}

void MainWindow::useProgramIcon()
{
    setWindowIcon(QIcon(QStringLiteral(":/marquill.png")));
}

WindowState MainWindow::windowState() const
{
    const Qt::WindowStates s = QWidget::windowState();
    if (s & Qt::WindowMinimized)
        return WindowState::Minimized;
    if (s & Qt::WindowMaximized)
        return WindowState::Maximized;
    return WindowState::Normal;
}

double MainWindow::scaleWidth() const
{
    return Twips::fromPixels(width());
}

double MainWindow::scaleHeight() const
{
    return Twips::fromPixels(height());
}

int MainWindow::buttonForeColor(Button button) const
{
    return foreColors_.value(button);
}

void MainWindow::setButtonForeColor(Button button, int color)
{
    foreColors_[button] = color;
    QPushButton *b = buttons_.value(button);
    QPalette pal = b->palette();
    pal.setColor(QPalette::ButtonText, fromBgr(color));
    b->setPalette(pal);
    // A skin that colours the buttons' text overrides the palette; it can tell the grey Find
    // Next apart with the selector QPushButton[foreColor="8421504"].
    b->setProperty("foreColor", color);
    if (!styleSheet().isEmpty()) {
        b->style()->unpolish(b);
        b->style()->polish(b);
        b->update();
    }
}

double MainWindow::buttonLeft(Button button) const
{
    return design(button).left;
}

double MainWindow::buttonTop(Button button) const
{
    return design(button).top;
}

double MainWindow::buttonHeight(Button) const
{
    return ButtonHeight;
}

void MainWindow::setMousePointer(int pointer)
{
    pointer_ = pointer;
    if (pointer == 11)
        setCursor(Qt::WaitCursor);
    else if (pointer == 99 && mouseIcon_)
        setCursor(*mouseIcon_);
    else
        unsetCursor();
}

void MainWindow::loadMouseIcon(const QString &path)
{
    QByteArray bytes;
    try {
        bytes = readProgramFile(path);
    } catch (const Failure &f) {
        throw Failure(f.description() + QStringLiteral(": ") + path);
    }
    // Qt's ICO reader reads cursor files too but drops their hot spot, which the first
    // directory entry of a cursor file holds.
    QPoint hotSpot(0, 0);
    const auto word = [&](int at) {
        return static_cast<int>(static_cast<uchar>(bytes[at])) | static_cast<int>(static_cast<uchar>(bytes[at + 1])) << 8;
    };
    const bool cursorFile = bytes.size() >= 22 && word(0) == 0 && word(2) == 2 && word(4) >= 1;
    if (cursorFile)
        hotSpot = QPoint(word(10), word(12));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QImage image = reader.read();
    if (image.isNull())
        throw Failure(QStringLiteral("Invalid picture"));
    if (!QRect(QPoint(0, 0), image.size()).contains(hotSpot))
        hotSpot = QPoint(0, 0);
    mouseIcon_ = QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
    if (pointer_ == 99)
        setCursor(*mouseIcon_);
}

void MainWindow::setButtonFaceBackground()
{
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

void MainWindow::loadSkin(const QString &path, const QString &)
{
    // Our skins are Qt style sheets in UTF-8; the section name has no meaning for them.
    QByteArray bytes;
    try {
        bytes = readProgramFile(path);
    } catch (const Failure &f) {
        throw Failure(QStringLiteral("Skin file cannot be read: ") + f.description());
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString sheet = utf8.decode(bytes);
    if (utf8.hasError())
        throw Failure(QStringLiteral("Skin file is not UTF-8 text"));
    const QString structure = styleSheetStructureError(sheet);
    if (!structure.isEmpty())
        throw Failure(QStringLiteral("Skin file is not a valid style sheet: ") + structure);
    if (!styleSheetParseWarning(sheet).isEmpty())
        throw Failure(QStringLiteral("Skin file is not a valid style sheet"));
    skinSheet_ = sheet;
}

void MainWindow::setSkinSwitches(bool first, bool second)
{
    skinSwitches_[0] = first;
    skinSwitches_[1] = second;
}

void MainWindow::applySkin()
{
    // A plain widget paints a style sheet's background only when asked to.
    setAttribute(Qt::WA_StyledBackground, true);
    setStyleSheet(skinSheet_);
}

QString MainWindow::programFolder() const
{
    return programFolder_.isEmpty() ? QCoreApplication::applicationDirPath() : programFolder_;
}

void MainWindow::resizeEvent(QResizeEvent *e)
{
    QWidget::resizeEvent(e);
    if (form_)
        form_->Form_Resize();
}

void MainWindow::changeEvent(QEvent *e)
{
    QWidget::changeEvent(e);
    // Restoring from the minimized state lays the window out again.
    if (e->type() == QEvent::WindowStateChange && form_ && windowState() != WindowState::Minimized)
        form_->Form_Resize();
}

void MainWindow::closeEvent(QCloseEvent *e)
{
    if (!form_) {
        e->accept();
        return;
    }
    int cancel = 0;
    form_->Form_QueryUnload(cancel, 0);
    if (cancel != 0) {
        e->ignore();
        return;
    }
    e->accept();
    int unloadCancel = 0;
    form_->Form_Unload(unloadCancel);
    if (onUnloaded)
        onUnloaded();
}

void MainWindow::mouseMoveEvent(QMouseEvent *e)
{
    QWidget::mouseMoveEvent(e);
    // A move that a button ignored arrives here too; only the window's own surface counts.
    if (form_ && !childAt(e->position().toPoint()))
        form_->Form_MouseMove();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::MouseMove && form_) {
        for (auto it = buttons_.cbegin(); it != buttons_.cend(); ++it) {
            if (it.value() == watched) {
                form_->PushButton_MouseMove(it.key());
                break;
            }
        }
    }
    return QWidget::eventFilter(watched, e);
}
