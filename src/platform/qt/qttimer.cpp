// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qttimer.h"

QtTimer::QtTimer()
{
    timer_.setInterval(0);
    QObject::connect(&timer_, &QTimer::timeout, [this] { notifyTick(); });
}

void QtTimer::setEnabled(bool enabled)
{
    enabled_ = enabled;
    // A timer with interval 0 does not tick, as a window timer does not.
    if (enabled_ && timer_.interval() > 0)
        timer_.start();
    else
        timer_.stop();
}

void QtTimer::setInterval(int milliseconds)
{
    timer_.setInterval(milliseconds);
    setEnabled(enabled_);
}

QtOneShotTimer::QtOneShotTimer()
{
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { notifyTimeout(); });
}
