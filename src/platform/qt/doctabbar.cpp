// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/doctabbar.h"

#include "platform/files.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QMenu>
#include <QMouseEvent>
#include <QUrl>

DocumentTabBar::DocumentTabBar(QWidget *parent) : QTabBar(parent)
{
    setElideMode(Qt::ElideMiddle);
}

QSize DocumentTabBar::tabSizeHint(int index) const
{
    QSize size = QTabBar::tabSizeHint(index);
    size.setWidth(std::min(size.width(), fontMetrics().averageCharWidth() * MaxTabChars));
    return size;
}

QSize DocumentTabBar::minimumTabSizeHint(int index) const
{
    // Tabs that do not fit scroll, and the list button names them all: none is squeezed to a few
    // letters.
    return tabSizeHint(index);
}

int DocumentTabBar::wantedWidth() const
{
    int width = 0;
    for (int i = 0; i < count(); ++i) {
        if (isTabVisible(i))
            width += tabSizeHint(i).width();
    }
    return width;
}

void DocumentTabBar::tabLayoutChange()
{
    QTabBar::tabLayoutChange();
    emit layoutChanged();
}

void DocumentTabBar::mousePressEvent(QMouseEvent *e)
{
    if (e->button() == Qt::MiddleButton) {
        middlePressed_ = tabAt(e->position().toPoint());
        e->accept();
        return;
    }
    QTabBar::mousePressEvent(e);
}

void DocumentTabBar::mouseReleaseEvent(QMouseEvent *e)
{
    if (e->button() == Qt::MiddleButton) {
        // Released over the tab it went down on, as a click on a button must be.
        const int position = tabAt(e->position().toPoint());
        const bool same = position >= 0 && position == middlePressed_;
        middlePressed_ = -1;
        e->accept();
        if (same)
            emit closeClicked(position);
        return;
    }
    QTabBar::mouseReleaseEvent(e);
}

void DocumentTabBar::contextMenuEvent(QContextMenuEvent *e)
{
    const int position = tabAt(e->pos());
    if (position < 0) {
        QTabBar::contextMenuEvent(e);
        return;
    }
    e->accept();
    emit menuRequested(position, e->globalPos());
}

void fillTabMenu(QMenu &menu, const QString &path, bool othersExist)
{
    menu.setObjectName(QStringLiteral("mnuTab"));
    const auto add = [&](const QString &caption, TabMenuItem item, bool enabled) {
        QAction *action = menu.addAction(caption);
        action->setData(static_cast<int>(item));
        action->setEnabled(enabled);
    };
    add(QCoreApplication::translate("DocTabBar", "Close"), TabMenuItem::Close, true);
    add(QCoreApplication::translate("DocTabBar", "Close Others"), TabMenuItem::CloseOthers, othersExist);
    menu.addSeparator();
    add(QCoreApplication::translate("DocTabBar", "Copy Path"), TabMenuItem::CopyPath, !path.isEmpty());
    add(QCoreApplication::translate("DocTabBar", "Open Containing Folder"), TabMenuItem::OpenFolder, !path.isEmpty());
}

TabMenuItem pickedTabMenuItem(const QAction *picked)
{
    return picked ? static_cast<TabMenuItem>(picked->data().toInt()) : TabMenuItem::None;
}

void copyPathToClipboard(const QString &path)
{
    QApplication::clipboard()->setText(shownName(path));
}

void openContainingFolder(const QString &path)
{
    QByteArray folder = nameBytes(path);
    folder.truncate(folder.lastIndexOf('/') + 1);
    if (folder.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl::fromEncoded("file://" + folder.toPercentEncoding("/")));
}
