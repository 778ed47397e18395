// SPDX-License-Identifier: GPL-3.0-or-later
#include "testenv.h"

#include <gtest/gtest.h>

// U+FEFF at the start of a text or of a selection is a character like any other: a file whose
// text starts with it must save back with it.
TEST_F(FormTest, EditorKeepsLeadingZeroWidthNoBreakSpace)
{
    QtEditor &e = editorAt(0);
    const QString text = QString(QChar(0xFEFF)) + QStringLiteral("a") + QChar(0xFEFF) + QStringLiteral("b");
    e.setText(text);
    EXPECT_EQ(e.text(), text);
    e.setSelStart(2);
    e.setSelLength(2);
    EXPECT_EQ(e.selText(), QString(QChar(0xFEFF)) + QStringLiteral("b"));
}
