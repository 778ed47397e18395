// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/mainwindow.h"

#include "platform/qt/twips.h"

#include <QLabel>

void MainWindow::setStatusLineVisible(bool visible)
{
    if (!statusLine_) {
        if (!visible)
            return;
        statusLine_ = new QLabel(this);
        statusLine_->setObjectName(QStringLiteral("statusLine"));
        statusLine_->setContentsMargins(6, 0, 6, 0);
        statusLine_->setTextInteractionFlags(Qt::NoTextInteraction);
        statusLine_->setFocusPolicy(Qt::NoFocus);
    }
    statusLine_->setVisible(visible);
    placeStatusLine();
}

void MainWindow::setStatusLineText(const QString &text)
{
    if (statusLine_ && statusLine_->text() != text)
        statusLine_->setText(text);
}

double MainWindow::statusLineHeight() const
{
    if (!statusLine_ || statusLine_->isHidden())
        return 0;
    return Twips::fromPixels(statusLine_->height());
}

void MainWindow::placeStatusLine()
{
    if (!statusLine_ || statusLine_->isHidden())
        return;
    const int height = statusLine_->fontMetrics().height() + 6;
    statusLine_->setGeometry(0, this->height() - height, width(), height);
    statusLine_->raise();
}
