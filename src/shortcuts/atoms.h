// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

// Names turned into small numbers that stay the same for the program's life: the same name
// (in any letter case) always gives the same atom. Atoms count up from 0xC000.
class AtomTable {
public:
    static constexpr quint16 First = 0xC000;

    // Throws Failure for an empty name or when no atom is left.
    quint16 add(const QString &name);
    int size() const { return static_cast<int>(atoms_.size()); }

private:
    QHash<QString, quint16> atoms_;
    quint32 next_ = First;
};

// The atoms shared by the whole program.
AtomTable &globalAtoms();
