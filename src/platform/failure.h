// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// A failed statement: carries the plain description that the error report shows.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString &description)
        : std::runtime_error(description.toStdString()), description_(description)
    {
    }
    QString description() const { return description_; }

private:
    QString description_;
};
