// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtprompts.h"

#include "platform/qt/mainwindow.h"
#include "platform/qt/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

QString forDisplay(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString titleOr(const MainWindow &window, const QString &title)
{
    return title.isEmpty() ? window.applicationTitle() : title;
}

// A name with bytes that are no UTF-8 (kept as U+DC80..U+DCFF) cannot be handed to the dialog,
// which would take another file for it.
bool hasKeptBytes(const QString &name)
{
    return std::any_of(name.begin(), name.end(),
                       [](QChar c) { return c.unicode() >= 0xDC80 && c.unicode() <= 0xDCFF; });
}

QString runFileDialog(MainWindow &window, QFileDialog::AcceptMode mode, const QString &title, const QString &filter,
                      const QString &start = QString())
{
    QFileDialog dialog(&window, title);
    if (!start.isEmpty() && !hasKeptBytes(start)) {
        const qsizetype slash = start.lastIndexOf(QLatin1Char('/'));
        const QString folder = start.left(slash + 1);
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            dialog.setDirectory(folder);
        if (slash + 1 < start.size())
            dialog.selectFile(start.mid(slash + 1));
    }
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(qtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

// A message box that Escape and its close button dismiss without an answer, whatever its buttons:
// neither may count as an answer that throws text away.
class QuestionBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
            done(QMessageBox::Cancel);
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent *e) override
    {
        e->accept();
        done(QMessageBox::Cancel);
    }
};

// Keeps the keyboard from a box for its first second: typing meant for another program, before
// the box came up, must not answer it.
class KeyHold : public QObject {
public:
    KeyHold(QWidget *box, int milliseconds) : box_(box), milliseconds_(milliseconds)
    {
        clock_.start();
        qApp->installEventFilter(this);
    }
    ~KeyHold() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *e) override
    {
        const QEvent::Type t = e->type();
        if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride && t != QEvent::Shortcut)
            return false;
        if (clock_.elapsed() >= milliseconds_)
            return false;
        auto w = qobject_cast<QWidget *>(watched);
        return w && (w == box_ || box_->isAncestorOf(w));
    }

private:
    QWidget *box_;
    int milliseconds_;
    QElapsedTimer clock_;
};

// A button that typing cannot press: its caption has no mnemonic (a letter alone would press it
// in a message box), and it never becomes the default when it takes the focus, so that Enter
// still gives the default answer.
void onlyByClick(QAbstractButton *button)
{
    const QString caption = button->text();
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&'))
            plain += caption[i];
        else if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&'))
            plain += caption.mid(i++, 2); // "&&" is a "&" of the caption
    }
    button->setText(plain);
    button->setShortcut(QKeySequence());
    if (auto push = qobject_cast<QPushButton *>(button))
        push->setAutoDefault(false);
}

// A text taller than most of the screen (a notice naming many files) scrolls inside the box, so
// that the box and its buttons stay on the screen.
void scrollLongText(QMessageBox &box)
{
    auto label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    QScreen *screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    if (!label || !screen || !box.layout())
        return;
    const QSize area = screen->availableGeometry().size();
    const int lines = label->text().count(QLatin1Char('\n')) + 1;
    const int maxHeight = area.height() * 3 / 5;
    if (lines * label->fontMetrics().lineSpacing() <= maxHeight)
        return;
    auto scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("longText"));
    scroll->setFrameShape(QFrame::NoFrame);
    delete box.layout()->replaceWidget(label, scroll);
    label->setWordWrap(false);
    scroll->setWidget(label);
    scroll->setWidgetResizable(true);
    const int bar = box.style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    const QSize text = label->sizeHint();
    scroll->setMinimumSize(std::min(text.width() + bar, area.width() * 3 / 5),
                           std::min(text.height() + bar, maxHeight));
}

} // namespace

QStringList qtNameFilters(const QString &filter)
{
    // Each entry keeps its description as the user sees it; the patterns Qt matches come in
    // a last pair of brackets, which HideNameFilterDetails leaves off the screen.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        out << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out;
}

int QtPrompts::msgBox(const QString &text, int style, const QString &title)
{
    QuestionBox box(&window_);
    box.setWindowTitle(titleOr(window_, title));
    // A file name or search text holding "<" or "&" shows as typed.
    box.setTextFormat(Qt::PlainText);
    box.setText(forDisplay(text));
    switch (style & 0x70) {
    case 16: box.setIcon(QMessageBox::Critical); break;
    case 32: box.setIcon(QMessageBox::Question); break;
    case 48: box.setIcon(QMessageBox::Warning); break;
    case 64: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    const bool second = style & MsgStyle::DefaultButton2;
    switch (style & 0x7) {
    case 4:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
        break;
    case 3:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
        break;
    case 1:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(second ? QMessageBox::Cancel : QMessageBox::Ok);
        break;
    default: box.setStandardButtons(QMessageBox::Ok); break;
    }
    if (style & MsgStyle::Discards) {
        for (QAbstractButton *b : box.buttons()) {
            if (b != box.defaultButton())
                onlyByClick(b);
        }
    }
    return runBox(box, style);
}

int QtPrompts::runBox(QMessageBox &box, int style)
{
    scrollLongText(box);
    std::optional<KeyHold> hold;
    if ((style & MsgStyle::HoldKeys) || (holdKeys && holdKeys()))
        hold.emplace(&box, KeyHoldTime);
    const int answer = box.exec();
    // A notice with only OK is answered whichever way it was closed.
    if ((style & 0x7) == MsgStyle::OkOnly)
        return MsgResult::Ok;
    switch (answer) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Ok: return MsgResult::Ok;
    default: return MsgResult::Cancel;
    }
}

int QtPrompts::choose(const QString &text, const QStringList &answers, int defaultAnswer, const QString &title)
{
    QuestionBox box(&window_);
    box.setWindowTitle(titleOr(window_, title));
    box.setTextFormat(Qt::PlainText);
    box.setText(forDisplay(text));
    box.setIcon(QMessageBox::Question);
    std::vector<QPushButton *> buttons;
    for (const QString &answer : answers) {
        buttons.push_back(
            box.addButton(QString(answer).replace(QLatin1Char('&'), QStringLiteral("&&")), QMessageBox::AcceptRole));
        onlyByClick(buttons.back());
    }
    if (defaultAnswer >= 0 && defaultAnswer < int(buttons.size())) {
        buttons[defaultAnswer]->setAutoDefault(true);
        box.setDefaultButton(buttons[defaultAnswer]);
    }
    runBox(box, MsgStyle::YesNo);
    const auto picked = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return picked == buttons.end() ? -1 : int(picked - buttons.begin());
}

QString QtPrompts::inputBox(const QString &prompt, const QString &title)
{
    QInputDialog dialog(&window_);
    dialog.setWindowTitle(titleOr(window_, title));
    dialog.setLabelText(prompt);
    dialog.setInputMode(QInputDialog::TextInput);
    // The prompt is plain text, as in the message boxes.
    for (QLabel *label : dialog.findChildren<QLabel *>())
        label->setTextFormat(Qt::PlainText);
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

QString QtPrompts::showOpen(const QString &title, const QString &filter)
{
    return runFileDialog(window_, QFileDialog::AcceptOpen, title, filter);
}

QString QtPrompts::showSave(const QString &title, const QString &filter)
{
    return runFileDialog(window_, QFileDialog::AcceptSave, title, filter);
}

QString QtPrompts::showSaveAt(const QString &title, const QString &filter, const QString &start)
{
    return runFileDialog(window_, QFileDialog::AcceptSave, title, filter, start);
}

int QtPrompts::popupMenu(const QStringList &items, double x, double y)
{
    QMenu menu(&window_);
    menu.setObjectName(QStringLiteral("mnuRecent"));
    menu.setTitle(QCoreApplication::translate("Command", "Recent Files"));
    for (int i = 0; i < items.size(); ++i)
        menu.addAction(QString(items[i]).replace(QLatin1Char('&'), QStringLiteral("&&")))->setData(i);
    QAction *picked = menu.exec(window_.mapToGlobal(QPoint(Twips::toPixels(x), Twips::toPixels(y))));
    return picked ? picked->data().toInt() : -1;
}
