#include "platform/qt/qtprompts.h"

#include "platform/qt/mainwindow.h"
#include "platform/qt/twips.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>

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

QString runFileDialog(MainWindow &window, QFileDialog::AcceptMode mode, const QString &title, const QString &filter)
{
    QFileDialog dialog(&window, title);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(qtNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
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
    QMessageBox box(&window_);
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
    switch (style & 0x7) {
    case 4:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case 3:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case 1:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Cancel: return 2;
    default: return MsgResult::Ok;
    }
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

int QtPrompts::popupMenu(const QStringList &items, double x, double y)
{
    QMenu menu(&window_);
    menu.setObjectName(QStringLiteral("mnuRecent"));
    menu.setTitle(QStringLiteral("Recent Files"));
    for (int i = 0; i < items.size(); ++i)
        menu.addAction(QString(items[i]).replace(QLatin1Char('&'), QStringLiteral("&&")))->setData(i);
    QAction *picked = menu.exec(window_.mapToGlobal(QPoint(Twips::toPixels(x), Twips::toPixels(y))));
    return picked ? picked->data().toInt() : -1;
}
