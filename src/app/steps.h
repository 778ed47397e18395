// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/failure.h"

#include <QString>
#include <exception>

class ErrorReporter {
public:
    virtual ~ErrorReporter() = default;
    virtual void reportError(const QString &description, const char *procedure, int step) = 0;
};

// Runs a procedure's numbered steps. A step that throws is reported with the procedure's name
// and the step's number, and the procedure goes on with its next step. A condition that throws
// counts as true, so the body of its If runs.
class Steps {
public:
    Steps(ErrorReporter &reporter, const char *procedure) : reporter_(reporter), procedure_(procedure) {}

    template <class F> void operator()(int step, F &&statement) noexcept
    {
        try {
            statement();
        } catch (const std::exception &e) {
            reporter_.reportError(describeFailure(e), procedure_, step);
        }
    }

    template <class F> bool test(int step, F &&condition) noexcept
    {
        try {
            return static_cast<bool>(condition());
        } catch (const std::exception &e) {
            reporter_.reportError(describeFailure(e), procedure_, step);
            return true;
        }
    }

private:
    ErrorReporter &reporter_;
    const char *procedure_;
};
