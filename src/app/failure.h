// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/failure.h"

#include <QString>
#include <QtGlobal>

// The description of whatever a step threw.
QString describeFailure(const std::exception &e);

// 16-bit counters test their increments for overflow.
qint16 checkedIncrement(qint16 value);
