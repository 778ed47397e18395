// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/mainwindow.h"

#include "app/commandline.h"
#include "app/commands.h"
#include "app/form1.h"
#include "app/layout.h"
#include "app/look.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/qt/stylesheetcheck.h"
#include "platform/qt/twips.h"

#include <QApplication>
#include <QBuffer>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QFontMetrics>
#include <QIcon>
#include <QImageReader>
#include <QMimeData>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QShortcut>
#include <QStringDecoder>
#include <QStyle>
#include <QUrl>
#include <Qsci/qsciscintillabase.h>

namespace {

// The local files a drop carries; empty for anything else (text, web addresses).
QStringList droppedFiles(const QMimeData *data)
{
    QStringList files;
    if (!data || !data->hasUrls())
        return files;
    for (const QUrl &url : data->urls()) {
        if (url.isLocalFile())
            files << localFileOfUrl(url);
    }
    return files;
}

QColor fromBgr(int color)
{
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

} // namespace

MainWindow::MainWindow()
{
    setObjectName(QStringLiteral("Form1"));
    // A design shrunk to fit a small screen shrinks its captions with it.
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double fontScale = screen ? std::min(1.0, Twips::dpi() / screen->logicalDotsPerInchX()) : 1.0;
    QFont windowFont(QStringLiteral("Arial"));
    windowFont.setPointSizeF(9 * fontScale);
    windowFont.setBold(true);
    setFont(windowFont);
    setMouseTracking(true);

    QFont buttonFont(QStringLiteral("Arial"));
    buttonFont.setPointSizeF(11.25 * fontScale);
    buttonFont.setBold(true);
    QFont fittedButtonFont = buttonFont; // the size at which every translated caption fits
    for (const Command &d : Commands) {
        auto b = new QPushButton(QCoreApplication::translate("Command", d.caption), this);
        b->setObjectName(QString::fromLatin1(d.name));
        b->setFont(buttonFont);
        // Reached by the keyboard (F6, then Tab or the arrows), never by a click: a click leaves
        // the keyboard where it was.
        b->setFocusPolicy(Qt::TabFocus);
        b->setToolTip(toolTipOf(d));
        b->setAutoDefault(false);
        b->setGeometry(Twips::toPixels(d.left), Twips::toPixels(d.top), Twips::toPixels(d.width),
                       Twips::toPixels(ButtonHeight));
        // A translated caption longer than the English one needs a smaller font to fit its button.
        if (b->text() != QLatin1String(d.caption)) {
            const int room = Twips::toPixels(d.width) - 10;
            while (fittedButtonFont.pointSizeF() > 7 &&
                   QFontMetrics(fittedButtonFont).horizontalAdvance(b->text()) > room)
                fittedButtonFont.setPointSizeF(fittedButtonFont.pointSizeF() - 0.25);
        }
        b->setMouseTracking(true);
        b->installEventFilter(this);
        const Button id = d.button;
        connect(b, &QPushButton::clicked, this, [this, id] {
            if (form_)
                form_->clickButton(id);
        });
        buttons_.insert(d.button, b);
        foreColors_.insert(d.button, 0);
    }
    // One size for the whole row, so that the buttons read alike.
    if (fittedButtonFont.pointSizeF() < buttonFont.pointSizeF()) {
        for (QPushButton *b : std::as_const(buttons_))
            b->setFont(fittedButtonFont);
    }
    resize(Twips::toPixels(12105), Twips::toPixels(9165));
    placeOnScreen();

    // Moving between tabs; the editors leave these keys alone.
    const auto tabKeys = [this](QList<QKeySequence> keys, int step) {
        auto shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] {
            if (form_)
                form_->switchTab(step);
        });
    };
    tabKeys({QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}, 1);
    tabKeys({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
             QKeySequence(Qt::CTRL | Qt::Key_PageUp)},
            -1);

    installWindowKeys();

    // Files dropped anywhere on the window, the editors included, and Ctrl+wheel over an editor
    // reach the window through the application's filter: the editors would take them otherwise.
    setAcceptDrops(true);
    appFilter_ = new ApplicationFilter(this);
    qApp->installEventFilter(appFilter_);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(appFilter_);
}

void MainWindow::placeOnScreen()
{
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    // Before the window is shown the window manager has not framed it yet: allow for a title bar.
    QMargins frame =
        frameGeometry().isValid()
            ? QMargins(geometry().left() - frameGeometry().left(), geometry().top() - frameGeometry().top(),
                       frameGeometry().right() - geometry().right(), frameGeometry().bottom() - geometry().bottom())
            : QMargins();
    if (!isVisible())
        frame.setTop(std::max(frame.top(), style()->pixelMetric(QStyle::PM_TitleBarHeight) + 8));
    const Layout::Placement place = Layout::placeWindow({area.x(), area.y(), area.width(), area.height()},
                                                        {Twips::toPixels(12105), Twips::toPixels(9165)},
                                                        {frame.left(), frame.top(), frame.right(), frame.bottom()});
    resize(place.clientWidth, place.clientHeight);
    move(place.frameX, place.frameY);
}

void MainWindow::bringToFront()
{
    if (isMinimized())
        setWindowState((QWidget::windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void MainWindow::runShortcut(const std::function<void()> &command, bool fromOutside,
                             const std::function<void()> &takeFocus)
{
    if (fromOutside) {
        bringToFront();
        if (takeFocus)
            takeFocus();
    }
    const QScopedValueRollback<bool> hold(questionsHoldKeys_, questionsHoldKeys_ || fromOutside);
    command();
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

bool MainWindow::findNextAvailable() const
{
    return buttonForeColor(Button::PushButton13) != FindNextGrey;
}

void MainWindow::setFindNextAvailable(bool available)
{
    setButtonForeColor(Button::PushButton13, available ? 0 : FindNextGrey);
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
    return commandOf(button).left;
}

double MainWindow::buttonTop(Button button) const
{
    return commandOf(button).top;
}

double MainWindow::buttonHeight(Button) const
{
    return ButtonHeight;
}

void MainWindow::setMousePointer(PointerKind pointer)
{
    pointer_ = pointer;
    if (pointer == PointerKind::Busy)
        setCursor(Qt::WaitCursor);
    else if (pointer == PointerKind::Hand && mouseIcon_)
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
        return static_cast<int>(static_cast<uchar>(bytes[at])) | static_cast<int>(static_cast<uchar>(bytes[at + 1]))
                                                                     << 8;
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
        throw Failure(tr("Invalid picture"));
    if (!QRect(QPoint(0, 0), image.size()).contains(hotSpot))
        hotSpot = QPoint(0, 0);
    mouseIcon_ = QCursor(QPixmap::fromImage(image), hotSpot.x(), hotSpot.y());
    if (pointer_ == PointerKind::Hand)
        setCursor(*mouseIcon_);
}

void MainWindow::setButtonFaceBackground()
{
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);
}

void MainWindow::loadSkin(const QString &path)
{
    // Our skins are Qt style sheets in UTF-8.
    QByteArray bytes;
    try {
        bytes = readProgramFile(path);
    } catch (const Failure &f) {
        throw Failure(tr("Skin file cannot be read: %1").arg(f.description()));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString sheet = utf8.decode(bytes);
    if (utf8.hasError())
        throw Failure(tr("Skin file is not UTF-8 text"));
    const QString structure = styleSheetStructureError(sheet);
    if (!structure.isEmpty())
        throw Failure(tr("Skin file is not a valid style sheet: %1").arg(structure));
    if (!styleSheetParseWarning(sheet).isEmpty())
        throw Failure(tr("Skin file is not a valid style sheet"));
    skinSheet_ = sheet;
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
    placeStatusLine();
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
    if (e->type() == QEvent::KeyPress && buttonKey(watched, static_cast<QKeyEvent *>(e)))
        return true;
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

bool MainWindow::applicationEvent(QObject *watched, QEvent *e)
{
    const QEvent::Type type = e->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop && type != QEvent::Wheel &&
        type != QEvent::ContextMenu)
        return false;
    auto widget = qobject_cast<QWidget *>(watched);
    if (!widget || (widget != this && !isAncestorOf(widget)))
        return false;
    if (type == QEvent::ContextMenu)
        return editorMenuEvent(watched, static_cast<QContextMenuEvent *>(e));
    if (type == QEvent::Wheel)
        return zoomByWheel(watched, static_cast<QWheelEvent *>(e));
    return takeDrop(e);
}

bool MainWindow::takeDrop(QEvent *e)
{
    auto drop = static_cast<QDropEvent *>(e);
    if (!drop->mimeData() || !drop->mimeData()->hasUrls())
        return false; // text dragged within or into an editor is the editor's business
    const QStringList files = droppedFiles(drop->mimeData());
    if (files.isEmpty()) {
        drop->ignore(); // web addresses and the like: nothing to open
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    // Opened once the drop is over: the file manager waits for it to end, and a notice about a
    // file that cannot be read would keep it waiting.
    if (e->type() == QEvent::Drop) {
        QMetaObject::invokeMethod(
            this,
            [this, files] {
                if (form_)
                    form_->openFiles(files);
            },
            Qt::QueuedConnection);
    }
    return true;
}

bool MainWindow::zoomByWheel(QObject *watched, QWheelEvent *e)
{
    if (!(e->modifiers() & Qt::ControlModifier))
        return false;
    QsciScintillaBase *editor = nullptr;
    for (QObject *o = watched; o && !editor; o = o->parent())
        editor = qobject_cast<QsciScintillaBase *>(o);
    if (!editor)
        return false;
    // A touchpad sends many small steps; one zoom step per notch of a wheel.
    // The zoom is the document's: it goes through the logic, which keeps it with the document.
    wheelZoom_ += e->angleDelta().y();
    for (; wheelZoom_ >= 120; wheelZoom_ -= 120) {
        if (form_)
            form_->zoomEditor(1);
    }
    for (; wheelZoom_ <= -120; wheelZoom_ += 120) {
        if (form_)
            form_->zoomEditor(-1);
    }
    e->accept();
    return true;
}
