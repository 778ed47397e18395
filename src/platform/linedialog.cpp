// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/linedialog.h"

#include <QCoreApplication>

int lineNumberOf(const QString &input, int lines)
{
    const QString digits = input.trimmed();
    if (digits.isEmpty() || digits.size() > 10)
        return 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    }
    const qint64 number = digits.toLongLong();
    return number >= 1 && number <= lines ? int(number) : 0;
}

QString lineNumberProblem(const QString &input, int lines)
{
    if (lineNumberOf(input, lines) > 0)
        return QString();
    if (input.trimmed().isEmpty())
        return QCoreApplication::translate("LineNumberDialog", "Enter a line number.");
    return QCoreApplication::translate("LineNumberDialog", "Enter a whole number from 1 to %1.").arg(lines);
}
