// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// What the Replace dialog's fields hold.
struct ReplaceFields {
    QString findWhat;
    QString replaceWith;
    bool matchCase = false;
    bool wholeWord = false;
    bool regex = false;
};

// The Replace dialog: modeless, beside the window. Its buttons call Form1's replaceFindNext,
// replaceNext and replaceAll; Close hides it.
class ReplaceDialog {
public:
    virtual ~ReplaceDialog() = default;
    // Shows the dialog, or raises it when it is shown, with "Find what:" holding `findWhat`,
    // selected and focused; the status line is cleared.
    virtual void showWith(const QString &findWhat) = 0;
    virtual ReplaceFields fields() const = 0;
    // The line under the fields: what the last button did, or why it could not.
    virtual void setStatus(const QString &text) = 0;
    virtual QString status() const = 0;
};
