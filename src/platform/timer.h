// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

class Timer {
public:
    virtual ~Timer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool isEnabled() const = 0;
    virtual void setInterval(int milliseconds) = 0;
    virtual int interval() const = 0;
    void setTickHandler(std::function<void()> handler) { onTick_ = std::move(handler); }

protected:
    void notifyTick()
    {
        if (onTick_)
            onTick_();
    }

private:
    std::function<void()> onTick_;
};
