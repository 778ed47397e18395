// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qttabstrip.h"

#include "platform/failure.h"
#include "platform/qt/doctabbar.h"
#include "platform/qt/twips.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QTextDocument>
#include <QToolButton>

namespace {

// QTabBar takes "&" as the mark of a mnemonic; the captions the logic sees are the file names.
QString shown(QString caption)
{
    return caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString unshown(QString text)
{
    return text.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace

QtTabStrip::QtTabStrip(QWidget *window)
    : QObject(window), frame_(new QFrame(window)), bar_(new DocumentTabBar(frame_)), list_(new QToolButton(frame_)),
      listMenu_(new QMenu(list_))
{
    frame_->setObjectName(QStringLiteral("TabControl1"));
    frame_->setFrameShape(QFrame::StyledPanel);
    bar_->setObjectName(QStringLiteral("TabControl1Tabs"));
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    bar_->setDrawBase(true);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->setTabsClosable(true);
    bar_->setMovable(true);
    bar_->installEventFilter(this);
    connect(bar_, &QTabBar::currentChanged, this, [this](int position) {
        if (quiet_ == 0 && position >= 0)
            notifySelected(position);
    });
    connect(bar_, &QTabBar::tabCloseRequested, this, [this](int position) { notifyClose(position); });
    connect(bar_, &DocumentTabBar::closeClicked, this, [this](int position) { notifyClose(position); });
    connect(bar_, &DocumentTabBar::menuRequested, this, &QtTabStrip::showTabMenu);
    connect(bar_, &DocumentTabBar::layoutChanged, this, &QtTabStrip::placeBar);
    // Every tab by name, for when they do not all fit.
    list_->setObjectName(QStringLiteral("TabControl1List"));
    // Drawn as the tab row's scroll buttons beside it are.
    list_->setArrowType(Qt::DownArrow);
    list_->setFocusPolicy(Qt::NoFocus);
    list_->setToolTip(QStringLiteral("All tabs"));
    listMenu_->setObjectName(QStringLiteral("mnuTabs"));
    connect(list_, &QToolButton::clicked, this, [this] {
        fillListMenu(); // its width is known before it shows: its right edge is the button's
        listMenu_->exec(list_->mapToGlobal(QPoint(list_->width(), list_->height())) -
                        QPoint(listMenu_->sizeHint().width(), 0));
    });
    connect(listMenu_, &QMenu::aboutToShow, this, &QtTabStrip::fillListMenu);
    connect(listMenu_, &QMenu::triggered, this, [this](QAction *picked) {
        const int position = picked->data().toInt();
        if (position >= 0 && position < bar_->count())
            select(position);
    });
    list_->hide();
    place();
}

QTabBar *QtTabStrip::bar() const
{
    return bar_;
}

void QtTabStrip::showTabMenu(int position, QPoint globalPos)
{
    QMenu menu(bar_);
    fillTabMenu(menu, pathOf(position), bar_->count() > 1);
    const TabMenuItem picked = pickedTabMenuItem(menu.exec(globalPos));
    // The menu held the window's input: the tab is still at `position`.
    switch (picked) {
    case TabMenuItem::Close: notifyClose(position); break;
    case TabMenuItem::CloseOthers: notifyCloseOthers(position); break;
    case TabMenuItem::CopyPath: copyPathToClipboard(pathOf(position)); break;
    case TabMenuItem::OpenFolder: openContainingFolder(pathOf(position)); break;
    case TabMenuItem::None: break;
    }
}

void QtTabStrip::fillListMenu()
{
    QMenu *menu = listMenu_;
    menu->clear();
    for (int i = 0; i < bar_->count(); ++i) {
        if (!bar_->isTabVisible(i))
            continue;
        QAction *action = menu->addAction(bar_->tabText(i)); // "&" is doubled in it already
        action->setData(i);
        action->setCheckable(true);
        action->setChecked(i == bar_->currentIndex());
    }
}

bool QtTabStrip::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == bar_ && e->type() == QEvent::ToolTip) {
        const int position = bar_->tabAt(static_cast<QHelpEvent *>(e)->pos());
        if (position >= 0) {
            QString tip = toolTipOf(position);
            // A file named like markup must show as it is named.
            if (Qt::mightBeRichText(tip))
                tip = QStringLiteral("<p style='white-space:pre'>") + tip.toHtmlEscaped() + QStringLiteral("</p>");
            bar_->setTabToolTip(position, tip);
        }
    }
    return QObject::eventFilter(watched, e);
}

void QtTabStrip::checkPosition(int position) const
{
    if (position < 0 || position >= bar_->count())
        throw Failure(QCoreApplication::translate("Failure", "Index out of bounds"));
}

int QtTabStrip::insertTab(int position, const QString &caption)
{
    ++quiet_;
    const int at = bar_->insertTab(position < 0 ? bar_->count() : position, shown(caption));
    --quiet_;
    return at;
}

int QtTabStrip::count() const
{
    return bar_->count();
}

int QtTabStrip::selectedPosition() const
{
    return bar_->currentIndex();
}

void QtTabStrip::select(int position)
{
    checkPosition(position);
    if (bar_->currentIndex() == position)
        notifySelected(position);
    else
        bar_->setCurrentIndex(position);
}

QString QtTabStrip::caption(int position) const
{
    checkPosition(position);
    return unshown(bar_->tabText(position));
}

void QtTabStrip::setCaption(int position, const QString &caption)
{
    checkPosition(position);
    bar_->setTabText(position, shown(caption));
}

qint16 QtTabStrip::itemData(int position) const
{
    checkPosition(position);
    return static_cast<qint16>(bar_->tabData(position).toInt());
}

void QtTabStrip::setItemData(int position, qint16 value)
{
    checkPosition(position);
    bar_->setTabData(position, static_cast<int>(value));
}

void QtTabStrip::setTabVisible(int position, bool visible)
{
    checkPosition(position);
    bar_->setTabVisible(position, visible);
}

void QtTabStrip::removeTab(int position)
{
    checkPosition(position);
    ++quiet_;
    bar_->removeTab(position);
    --quiet_;
}

void QtTabStrip::removeAll()
{
    ++quiet_;
    while (bar_->count() > 0)
        bar_->removeTab(bar_->count() - 1);
    --quiet_;
}

void QtTabStrip::setWidth(double twips)
{
    width_ = twips;
    place();
}

void QtTabStrip::setHeight(double twips)
{
    height_ = twips;
    place();
}

void QtTabStrip::place()
{
    frame_->setGeometry(Twips::toPixels(left_), Twips::toPixels(top_), Twips::toPixels(width_),
                        Twips::toPixels(height_));
    placeBar();
}

void QtTabStrip::placeBar()
{
    const int rowHeight = Twips::toPixels(480) - 2;
    const bool crowded = bar_->wantedWidth() > frame_->width();
    const int listWidth = crowded ? std::min(rowHeight, frame_->width() / 2) : 0;
    list_->setVisible(crowded);
    if (crowded)
        list_->setGeometry(frame_->width() - listWidth, 0, listWidth, rowHeight);
    bar_->setGeometry(0, 0, frame_->width() - listWidth, rowHeight);
}
