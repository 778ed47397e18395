// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/qtreplacedialog.h"

#include "app/form1.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The label's text as a screen reader should say it: without the mnemonic's "&".
QString plain(const QString &label)
{
    QString text = label;
    return text.remove(QLatin1Char('&'));
}

} // namespace

QtReplaceDialog::QtReplaceDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("replaceDialog"));
    setWindowTitle(tr("Replace"));
    setModal(false);
    setSizeGripEnabled(false);

    const auto field = [this](const QString &label, const QString &name, QLineEdit *&edit) {
        auto l = new QLabel(label, this);
        edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setAccessibleName(plain(label));
        l->setBuddy(edit);
        return l;
    };
    const auto check = [this](const QString &label, const QString &name) {
        auto box = new QCheckBox(label, this);
        box->setObjectName(name);
        box->setAccessibleName(plain(label));
        return box;
    };
    const auto button = [this](const QString &label, const QString &name) {
        auto b = new QPushButton(label, this);
        b->setObjectName(name);
        b->setAccessibleName(plain(label));
        b->setAutoDefault(false);
        return b;
    };

    auto grid = new QGridLayout;
    grid->addWidget(field(tr("F&ind what:"), QStringLiteral("findWhat"), findWhat_), 0, 0);
    grid->addWidget(findWhat_, 0, 1);
    grid->addWidget(field(tr("Re&place with:"), QStringLiteral("replaceWith"), replaceWith_), 1, 0);
    grid->addWidget(replaceWith_, 1, 1);
    matchCase_ = check(tr("Match &case"), QStringLiteral("matchCase"));
    wholeWord_ = check(tr("&Whole word"), QStringLiteral("wholeWord"));
    regex_ = check(tr("Regular &expression"), QStringLiteral("regularExpression"));
    auto checks = new QVBoxLayout;
    checks->addWidget(matchCase_);
    checks->addWidget(wholeWord_);
    checks->addWidget(regex_);
    grid->addLayout(checks, 2, 1);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("replaceStatus"));
    status_->setWordWrap(true);
    status_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status_->setAccessibleName(tr("Status"));
    grid->addWidget(status_, 3, 0, 1, 2);

    findNext_ = button(tr("Find Next"), QStringLiteral("findNext"));
    findNext_->setDefault(true);
    replace_ = button(tr("&Replace"), QStringLiteral("replace"));
    replaceAll_ = button(tr("Replace &All"), QStringLiteral("replaceAll"));
    close_ = button(tr("Close"), QStringLiteral("close"));
    auto buttons = new QVBoxLayout;
    for (QPushButton *b : {findNext_, replace_, replaceAll_, close_})
        buttons->addWidget(b);
    buttons->addStretch();

    auto top = new QHBoxLayout(this);
    top->addLayout(grid, 1);
    top->addLayout(buttons);
    findWhat_->setMinimumWidth(fontMetrics().averageCharWidth() * 32);

    connect(findNext_, &QPushButton::clicked, this, [this] { run(&Form1::replaceFindNext); });
    connect(replace_, &QPushButton::clicked, this, [this] { run(&Form1::replaceNext); });
    connect(replaceAll_, &QPushButton::clicked, this, [this] { run(&Form1::replaceAll); });
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);
}

void QtReplaceDialog::run(void (Form1::*command)())
{
    if (form_)
        (form_->*command)();
}

void QtReplaceDialog::showWith(const QString &findWhat)
{
    findWhat_->setText(findWhat);
    status_->clear();
    show();
    raise();
    activateWindow();
    findWhat_->setFocus();
    findWhat_->selectAll();
}

ReplaceFields QtReplaceDialog::fields() const
{
    return ReplaceFields{findWhat_->text(), replaceWith_->text(), matchCase_->isChecked(), wholeWord_->isChecked(),
                         regex_->isChecked()};
}

void QtReplaceDialog::setStatus(const QString &text)
{
    status_->setText(text);
}

QString QtReplaceDialog::status() const
{
    return status_->text();
}
