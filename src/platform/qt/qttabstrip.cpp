// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qttabstrip.h"

#include "platform/failure.h"
#include "platform/qt/twips.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QTabBar>
#include <QTextDocument>

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

QtTabStrip::QtTabStrip(QWidget *window) : QObject(window), frame_(new QFrame(window)), bar_(new QTabBar(frame_))
{
    frame_->setObjectName(QStringLiteral("TabControl1"));
    frame_->setFrameShape(QFrame::StyledPanel);
    bar_->setObjectName(QStringLiteral("TabControl1Tabs"));
    bar_->setExpanding(false);
    bar_->setUsesScrollButtons(true);
    bar_->setDrawBase(true);
    bar_->setFocusPolicy(Qt::NoFocus);
    bar_->installEventFilter(this);
    connect(bar_, &QTabBar::currentChanged, this, [this](int position) {
        if (quiet_ == 0 && position >= 0)
            notifySelected(position);
    });
    place();
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
    bar_->setGeometry(0, 0, frame_->width(), Twips::toPixels(480) - 2);
}
