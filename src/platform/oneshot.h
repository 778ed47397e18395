// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// A timer that fires once, the given time after it was last started; starting it again while it
// runs restarts the wait.
class OneShotTimer {
public:
    virtual ~OneShotTimer() = default;
    virtual void start(int milliseconds) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    void setTimeoutHandler(std::function<void()> handler) { onTimeout_ = std::move(handler); }

protected:
    void notifyTimeout()
    {
        if (onTimeout_)
            onTimeout_();
    }

private:
    std::function<void()> onTimeout_;
};
