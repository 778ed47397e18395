// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/editor.h"
#include "platform/tabstrip.h"
#include "platform/window.h"
#include "shortcuts/shortcuts.h"

namespace {

// Characters of the `length` units from `from` on: a surrogate pair is one, a tab is one, and
// so is a "\r\n" line break.
qint64 charactersIn(const Editor &e, int from, int length)
{
    if (length <= 0)
        return 0;
    qint64 count = 0;
    const int end = from + length;
    QChar previous;
    e.readText(from, [&](int position, QStringView block) {
        const qsizetype first = std::max<qsizetype>(0, from - position);
        const qsizetype last = std::min<qsizetype>(block.size(), end - position);
        for (qsizetype i = first; i < last; ++i) {
            const QChar c = block[i];
            if (!c.isLowSurrogate() && !(c == QLatin1Char('\n') && previous == QLatin1Char('\r')))
                ++count;
            previous = c;
        }
        return position + block.size() < end;
    });
    return count;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return QStringLiteral("UTF-8");
    case TextEncoding::Utf8Bom: return QStringLiteral("UTF-8 BOM");
    case TextEncoding::Utf16LE: return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BE: return QStringLiteral("UTF-16 BE");
    case TextEncoding::CodePage: return QStringLiteral("Windows-1252");
    }
    return QString();
}

QString lineBreaksName(LineBreaks breaks)
{
    switch (breaks) {
    case LineBreaks::CRLF: return QStringLiteral("CRLF");
    case LineBreaks::LF: return QStringLiteral("LF");
    case LineBreaks::AsIs: return Form1::tr("Mixed");
    }
    return QString();
}

} // namespace

void Form1::setStatusLineShown(bool shown)
{
    statusLineShown_ = shown;
    // Changes made while it was hidden went unnoticed: what was counted then no longer holds.
    statusColumn_ = StatusColumn{};
    statusSelection_ = StatusSelection{};
    // While hidden nothing watches the caret: typing does no work for it.
    for (Document &d : documents) {
        if (d.loaded())
            d.editor->setViewHandler(shown ? std::function<void()>([this] { updateStatusLine(); }) : nullptr);
    }
    p.window.setStatusLineVisible(shown);
    if (shown)
        updateStatusLine();
    Form_Resize();
    // Written only when it changes: start-up reads it through here too.
    try {
        const QString value = shown ? QStringLiteral("1") : QStringLiteral("0");
        if (isSettingOn(GetSetting(QStringLiteral("StatusLine"), QStringLiteral("0"))) != shown)
            SaveSetting(QStringLiteral("StatusLine"), value);
    } catch (const std::exception &) {
    }
}

void Form1::noteStatusChange(int index)
{
    const Document *d = loadedDocument(index);
    if (d && d->editor == statusColumn_.editor && d->editor->lastChange().start < statusColumn_.position)
        statusColumn_ = StatusColumn{};
    if (d && d->editor == statusSelection_.editor)
        statusSelection_ = StatusSelection{};
}

qint64 Form1::selectedCharacters(const Editor &e)
{
    // Extending or shrinking a selection at one end counts only the stretch between the old end
    // and the new one, so that Shift+arrow after Select All does not read the whole text again.
    // Both ends are character boundaries, never inside a pair or a "\r\n".
    const int start = e.selStart(), end = start + e.selLength();
    StatusSelection &last = statusSelection_;
    qint64 characters = 0;
    if (last.editor == &e && last.start == start)
        characters = end >= last.end ? last.characters + charactersIn(e, last.end, end - last.end)
                                     : last.characters - charactersIn(e, end, last.end - end);
    else if (last.editor == &e && last.end == end)
        characters = start <= last.start ? last.characters + charactersIn(e, start, last.start - start)
                                         : last.characters - charactersIn(e, last.start, start - last.start);
    else
        characters = charactersIn(e, start, end - start);
    last = StatusSelection{&e, start, end, characters};
    return characters;
}

void Form1::updateStatusLine()
{
    if (!statusLineShown_)
        return;
    try {
        p.window.setStatusLineText(statusLineText());
    } catch (const std::exception &) {
        p.window.setStatusLineText(QString());
    }
}

QString Form1::statusLineText()
{
    if (p.tabs.count() == 0)
        return QString();
    const Document &d = document(currentEditorIndex());
    const Editor &e = *d.editor;
    const int caret = e.caretPosition();
    const int line = e.lineOfPosition(caret);
    const int start = e.lineStart(line);
    // Along the same line, with no change before the place last counted, only the stretch
    // between that place and the caret is counted, forward or back.
    StatusColumn &last = statusColumn_;
    const bool along = last.editor == &e && last.lineStart == start && last.position >= start;
    const qint64 column = !along                   ? charactersIn(e, start, caret - start)
                          : last.position <= caret ? last.column + charactersIn(e, last.position, caret - last.position)
                                                   : last.column - charactersIn(e, caret, last.position - caret);
    last = StatusColumn{&e, start, caret, column};
    QString text = tr("Ln %1, Col %2").arg(line + 1).arg(column + 1);
    if (e.selLength() > 0)
        text += tr(" | Sel %1").arg(selectedCharacters(e));
    else
        statusSelection_ = StatusSelection{};
    text += QStringLiteral(" | ") + encodingName(d.format.encoding) + QStringLiteral(" | ") +
            lineBreaksName(d.format.lineBreaks);
    if (const int zoom = e.zoomPercent(); zoom != 100)
        text += QStringLiteral(" | %1%").arg(zoom);
    return text;
}
