// SPDX-License-Identifier: GPL-3.0-or-later
#include "shortcuts/atoms.h"

#include "app/failure.h"
#include <QCoreApplication>

quint16 AtomTable::add(const QString &name)
{
    if (name.isEmpty())
        throw Failure(QCoreApplication::translate("Failure", "Invalid atom name"));
    const QString key = name.toCaseFolded();
    const auto it = atoms_.constFind(key);
    if (it != atoms_.cend())
        return it.value();
    if (next_ > 0xFFFF)
        throw Failure(QCoreApplication::translate("Failure", "Out of atoms"));
    const auto atom = static_cast<quint16>(next_++);
    atoms_.insert(key, atom);
    return atom;
}

AtomTable &globalAtoms()
{
    static AtomTable atoms;
    return atoms;
}
