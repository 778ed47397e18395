// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/replacedialog.h"

#include <QDialog>

class Form1;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The Replace dialog: a tool window over the main window that leaves it usable. Enter is Find
// Next; Escape and Close hide it, keeping what its fields hold for the next time.
class QtReplaceDialog : public QDialog, public ReplaceDialog {
    Q_OBJECT
public:
    explicit QtReplaceDialog(QWidget *parent);
    void setForm(Form1 *form) { form_ = form; }

    void showWith(const QString &findWhat) override;
    ReplaceFields fields() const override;
    void setStatus(const QString &text) override;
    QString status() const override;

private:
    void run(void (Form1::*command)());
    Form1 *form_ = nullptr;
    QLineEdit *findWhat_;
    QLineEdit *replaceWith_;
    QCheckBox *matchCase_;
    QCheckBox *wholeWord_;
    QCheckBox *regex_;
    QPushButton *findNext_;
    QPushButton *replace_;
    QPushButton *replaceAll_;
    QPushButton *close_;
    QLabel *status_;
};
