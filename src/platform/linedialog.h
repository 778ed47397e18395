// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The Go to Line dialog: asks for a line number from 1 to `lines`, offering `current`.
class LineDialog {
public:
    virtual ~LineDialog() = default;
    // The line number given (1 to lines), or 0 when the dialog was cancelled.
    virtual int askLine(int current, int lines) = 0;
};

// The line number that `input` gives among `lines` lines: 0 when it is no whole number in that
// range (the dialog then refuses it). Spaces around the number are allowed.
int lineNumberOf(const QString &input, int lines);

// What the dialog says about `input` when it refuses it; empty when it takes it.
QString lineNumberProblem(const QString &input, int lines);
