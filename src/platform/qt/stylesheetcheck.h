// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Qt has no public style sheet parser and its own parser forgives a lot, so a skin is checked
// in two ways: its structure here, then Qt's parse of it on a probe widget.

// What is wrong with the structure of a style sheet: an unclosed comment or string, a brace
// without its partner, or text after the last rule that starts a rule without a body.
// Empty when the structure holds.
QString styleSheetStructureError(const QString &sheet);

// Sets the sheet on a widget that is never shown and returns what Qt warned while parsing it
// ("Could not parse stylesheet ..."); empty when Qt took it. Needs a QApplication.
QString styleSheetParseWarning(const QString &sheet);
