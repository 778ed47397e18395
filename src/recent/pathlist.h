// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The "|"-terminated path lists kept in the settings (RecentFiles, OpenFiles), the recent list's
// compaction and the present-file test.

// Splits a stored value at every "|"; a value ending in "|" gives a last, empty part. An empty
// value gives no part at all.
QStringList splitPathList(const QString &value);

// A path holding "|" would come back split into wrong paths, so it is never stored.
bool isStorablePath(const QString &path);

// An existing regular file (a folder is not, a symbolic link to a file is). The path is taken
// literally: no wildcard matching, and names starting with "." count like any other.
bool isPresentFile(const QString &path);

// Whether two paths name the same entry of the recent list: compared case-sensitively, as the
// file system does here, and without regard to case on Windows.
bool isSamePath(const QString &a, const QString &b);

// One empty entry, then the non-empty entries in their order.
QStringList compactRecent(const QStringList &list);
