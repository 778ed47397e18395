#include "documents/record.h"

#include "app/failure.h"

QString recordPath(const QString &record)
{
    const qsizetype bar = record.indexOf(QLatin1Char('|'));
    if (bar < 0)
        throw Failure(QStringLiteral("Subscript out of range"));
    return record.mid(bar + 1);
}
