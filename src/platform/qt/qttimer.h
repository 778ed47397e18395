// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/oneshot.h"
#include "platform/timer.h"

#include <QTimer>

class QtTimer : public Timer {
public:
    QtTimer();
    void setEnabled(bool enabled) override;
    bool isEnabled() const override { return enabled_; }
    void setInterval(int milliseconds) override;
    int interval() const override { return timer_.interval(); }

private:
    QTimer timer_;
    bool enabled_ = false;
};

class QtOneShotTimer : public OneShotTimer {
public:
    QtOneShotTimer();
    void start(int milliseconds) override { timer_.start(milliseconds); }
    void stop() override { timer_.stop(); }
    bool isActive() const override { return timer_.isActive(); }

private:
    QTimer timer_;
};
