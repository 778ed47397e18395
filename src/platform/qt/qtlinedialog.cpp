// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtlinedialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LineNumberDialog::LineNumberDialog(QWidget *parent, int current, int lines)
    : QDialog(parent), lines_(lines), input_(new QLineEdit(this)), hint_(new QLabel(this)),
      buttons_(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this))
{
    setObjectName(QStringLiteral("goToLine"));
    setWindowTitle(tr("Go to Line"));
    auto layout = new QVBoxLayout(this);
    auto label = new QLabel(tr("Line number (1–%1):").arg(lines), this);
    label->setBuddy(input_);
    layout->addWidget(label);
    input_->setObjectName(QStringLiteral("lineNumber"));
    input_->setMaxLength(12);
    input_->setText(QString::number(current));
    input_->selectAll();
    layout->addWidget(input_);
    hint_->setObjectName(QStringLiteral("lineNumberProblem"));
    layout->addWidget(hint_);
    layout->addWidget(buttons_);
    connect(buttons_, &QDialogButtonBox::accepted, this, [this] {
        if (lineNumber() > 0)
            accept();
    });
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(input_, &QLineEdit::textChanged, this, &LineNumberDialog::check);
    check();
}

QPushButton *LineNumberDialog::okButton() const
{
    return buttons_->button(QDialogButtonBox::Ok);
}

int LineNumberDialog::lineNumber() const
{
    return lineNumberOf(input_->text(), lines_);
}

QString LineNumberDialog::problem() const
{
    return hint_->text();
}

void LineNumberDialog::check()
{
    const QString problem = lineNumberProblem(input_->text(), lines_);
    hint_->setText(problem);
    okButton()->setEnabled(problem.isEmpty());
}

int QtLineDialog::askLine(int current, int lines)
{
    LineNumberDialog dialog(parent_, current, lines);
    return dialog.exec() == QDialog::Accepted ? dialog.lineNumber() : 0;
}
