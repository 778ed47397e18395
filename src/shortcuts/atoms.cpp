// SPDX-License-Identifier: GPL-3.0-or-later
#include "shortcuts/atoms.h"

#include "app/failure.h"

quint16 AtomTable::add(const QString &name)
{
    if (name.isEmpty())
        throw Failure(QStringLiteral("Invalid atom name"));
    const QString key = name.toCaseFolded();
    const auto it = atoms_.constFind(key);
    if (it != atoms_.cend())
        return it.value();
    if (next_ > 0xFFFF)
        throw Failure(QStringLiteral("Out of atoms"));
    const auto atom = static_cast<quint16>(next_++);
    atoms_.insert(key, atom);
    return atom;
}

AtomTable &globalAtoms()
{
    static AtomTable atoms;
    return atoms;
}
