// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/record.h"

#include "app/failure.h"
#include <QCoreApplication>

DocumentRecord DocumentRecord::parse(const QString &text)
{
    const qsizetype bar = text.indexOf(QLatin1Char('|'));
    if (bar < 0)
        throw Failure(QCoreApplication::translate("Failure", "Subscript out of range"));
    return {QStringView(text).left(bar) == QLatin1String("1"), text.mid(bar + 1)};
}

QString DocumentRecord::text() const
{
    return (changed ? QStringLiteral("1|") : QStringLiteral("0|")) + path;
}

QString recordPath(const QString &record)
{
    return DocumentRecord::parse(record).path;
}

QString untitledCaption(int number)
{
    return QCoreApplication::translate("Form1", "Untitled%1.txt").arg(number);
}
