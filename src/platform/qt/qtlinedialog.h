// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/linedialog.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QDialogButtonBox;

// The Go to Line dialog's widget: a line number box, a hint when the number is refused, and OK,
// which stays greyed until the box holds a line number of the document.
class LineNumberDialog : public QDialog {
    Q_OBJECT
public:
    LineNumberDialog(QWidget *parent, int current, int lines);
    int lineNumber() const; // 0 while the box holds no line number of the document
    QLineEdit *input() const { return input_; }
    QPushButton *okButton() const;
    QString problem() const; // the hint shown, empty when the number is taken

private:
    void check();
    int lines_;
    QLineEdit *input_;
    QLabel *hint_;
    QDialogButtonBox *buttons_;
};

class QtLineDialog : public LineDialog {
public:
    explicit QtLineDialog(QWidget *parent) : parent_(parent) {}
    int askLine(int current, int lines) override;

private:
    QWidget *parent_;
};
