// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/editor.h"
#include "platform/linedialog.h"
#include "platform/tabstrip.h"

#include <algorithm>

void Form1::showGoToLine()
{
    Steps step(*this, "showGoToLine");
    if (!lineDialog || p.tabs.count() == 0)
        return;
    int current = 1, lines = 1;
    step(100, [&] {
        Editor &e = currentEditor();
        current = e.lineOfPosition(e.selStart()) + 1;
        lines = e.lineCount();
    });
    int line = 0;
    step(102, [&] { line = lineDialog->askLine(current, lines); });
    if (line <= 0)
        return;
    step(104, [&] { goToLine(line, 1); });
    step(106, [&] { currentEditor().setFocus(); });
}

void Form1::goToLine(int line, int column)
{
    Editor &e = currentEditor();
    const int index = std::clamp(line, 1, e.lineCount()) - 1;
    const int start = e.lineStart(index);
    const int end = index + 1 < e.lineCount() ? e.lineStart(index + 1) : e.textLength();
    // Characters, not UTF-16 units: a surrogate pair is one. At most two units a character are
    // read, so a far column on a long line costs no more than the column itself.
    const qint64 wanted = std::max(column, 1) - 1;
    const QString text = e.textRange(start, int(std::min<qint64>(end - start, 2 * wanted + 2)));
    qsizetype at = 0;
    for (qint64 n = 0; n < wanted && at < text.size(); ++n) {
        if (text[at] == QLatin1Char('\r') || text[at] == QLatin1Char('\n'))
            break;
        at += text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2 : 1;
    }
    e.setSelStart(start + int(at));
}
