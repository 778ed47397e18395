// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/replacedialog.h"

// The Replace dialog as a test fills it in: the fields are set directly, the status is kept.
class FakeReplaceDialog : public ReplaceDialog {
public:
    ReplaceFields values;
    QString shownStatus;
    bool shown = false;
    int opened = 0;

    void showWith(const QString &findWhat) override
    {
        values.findWhat = findWhat;
        shownStatus.clear();
        shown = true;
        ++opened;
    }
    ReplaceFields fields() const override { return values; }
    void setStatus(const QString &text) override { shownStatus = text; }
    QString status() const override { return shownStatus; }
};
