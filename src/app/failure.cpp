// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/failure.h"

#include <QCoreApplication>
#include <new>

QString describeFailure(const std::exception &e)
{
    if (auto failure = dynamic_cast<const Failure *>(&e))
        return failure->description();
    if (dynamic_cast<const std::bad_alloc *>(&e))
        return QCoreApplication::translate("Failure", "Out of memory");
    return QString::fromLocal8Bit(e.what());
}

qint16 checkedIncrement(qint16 value)
{
    if (value == INT16_MAX)
        throw Failure(QStringLiteral("Overflow"));
    return static_cast<qint16>(value + 1);
}
