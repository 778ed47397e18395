// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/rawutf8.h"
#include "platform/replacedialog.h"
#include "platform/tabstrip.h"
#include "platform/window.h"
#include "search/searcher.h"
#include "search/textsearch.h"
#include "undo/piecechange.h"

#include <QScopedValueRollback>
#include <memory>

namespace {

SearchOptions optionsOf(const ReplaceFields &fields)
{
    return SearchOptions{fields.findWhat, fields.matchCase, fields.wholeWord, fields.regex};
}

// The selection in bytes of the editor's UTF-8.
ByteMatch selectionBytes(const Editor &e)
{
    const int start = e.selStart();
    return ByteMatch{e.utf8Offset(start), e.utf8Offset(start + e.selLength())};
}

void select(Editor &e, ByteMatch m)
{
    const int start = e.positionOfUtf8(m.start);
    e.setSelStart(start);
    e.setSelLength(e.positionOfUtf8(m.end) - start);
}

// The whole text as one view; for the real editor, its buffer where it lies.
template <class F> void withText(const Editor &e, F &&f)
{
    e.readUtf8At(0, e.utf8Length(), [&](QByteArrayView text) { f(text); });
}

const char *const EmptyFindWhat = QT_TRANSLATE_NOOP("Form1", "Type the text to find in \"Find what:\".");

} // namespace

QByteArray Form1::documentLineBreak(int index) const
{
    const Document &d = document(index);
    if (d.format.lineBreaks != LineBreaks::AsIs)
        return QByteArrayLiteral("\r\n");
    // Mixed line breaks: the kind the text's first line ends with.
    QByteArray found = QByteArrayLiteral("\r\n");
    const qint64 length = d.editor->utf8Length();
    for (qint64 at = 0; at < length; at += 1 << 16) {
        bool done = false;
        d.editor->readUtf8At(at, (1 << 16) + 1, [&](QByteArrayView bytes) {
            for (qsizetype i = 0; i < bytes.size() && i < (1 << 16); ++i) {
                if (bytes[i] == '\n' || bytes[i] == '\r') {
                    found = bytes[i] == '\n'                               ? QByteArrayLiteral("\n")
                            : i + 1 < bytes.size() && bytes[i + 1] == '\n' ? QByteArrayLiteral("\r\n")
                                                                           : QByteArrayLiteral("\r");
                    done = true;
                    return;
                }
            }
        });
        if (done)
            break;
    }
    return found;
}

void Form1::showReplace()
{
    Steps step(*this, "showReplace");
    if (step.test(100, [&] { return replaceDialog == nullptr || p.tabs.selectedPosition() < 0; }))
        return;
    QString findWhat;
    step(102, [&] {
        const QString selected = currentEditor().selText();
        if (!selected.isEmpty() && !selected.contains(QLatin1Char('\r')) && !selected.contains(QLatin1Char('\n')))
            findWhat = selected;
        else
            findWhat = lastSearchFromReplace || FindText.isEmpty() ? lastSearch.what : FindText;
    });
    step(104, [&] { replaceDialog->showWith(findWhat); });
}

bool Form1::findMatch(const SearchOptions &options, bool backward, bool focusEditor)
{
    const Searcher searcher(options);
    if (!searcher.error().isEmpty())
        throw Failure(searcher.error());
    return findMatch(searcher, backward, focusEditor);
}

bool Form1::findMatch(const Searcher &searcher, bool backward, bool focusEditor)
{
    const SearchOptions &options = searcher.options();
    if (!searcher.usable())
        return false;
    Editor &e = currentEditor();
    ByteMatch from = selectionBytes(e);
    bool restarted = false; // searching again from the start (end) after a Yes
    // From the start (end) there is nothing to start again from.
    bool fromEdge = backward ? from.start >= e.utf8Length() : from.end == 0;
    for (;;) {
        ByteMatch m;
        withText(e, [&](QByteArrayView text) {
            if (backward) {
                m = searcher.previous(text, from.start);
            } else {
                m = searcher.next(text, from.end);
                // The empty match the caret stands on was found last time: on to the next character.
                if (m.found() && m.start == m.end && m.start == from.start && from.start == from.end && !restarted)
                    m = searcher.next(text, nextCharacterStart(text, m.end));
            }
        });
        if (m.found()) {
            select(e, m);
            if (focusEditor)
                e.setFocus();
            return true;
        }
        if (fromEdge) {
            p.prompts.msgBox(tr("No match is found for the string '%1'").arg(options.what), MsgStyle::OkOnly,
                             QString());
            return false;
        }
        if (p.prompts.msgBox(tr("No more match found for the string '%1'\r\nDo you want to start search "
                                "from the beginning?")
                                 .arg(options.what),
                             MsgStyle::YesNo, tr("Restart Search")) != MsgResult::Yes)
            return false;
        const qint64 edge = backward ? e.utf8Length() : 0;
        from = ByteMatch{edge, edge};
        fromEdge = restarted = true;
    }
}

bool Form1::takeReplaceSearch(Steps &step, int firstStep, ReplaceFields &fields, SearchOptions &options)
{
    if (step.test(firstStep, [&] { return replaceDialog == nullptr; }))
        return false;
    step(firstStep + 2, [&] {
        fields = replaceDialog->fields();
        options = optionsOf(fields);
    });
    if (step.test(firstStep + 4, [&] { return options.what.isEmpty(); })) {
        step(firstStep + 6, [&] { replaceDialog->setStatus(tr(EmptyFindWhat)); });
        return false;
    }
    step(firstStep + 8, [&] {
        lastSearch = options;
        lastSearchFromReplace = true;
        replaceDialog->setStatus(QString());
    });
    return true;
}

void Form1::replaceFindNext()
{
    Steps step(*this, "replaceFindNext");
    ReplaceFields fields;
    SearchOptions options;
    if (!takeReplaceSearch(step, 100, fields, options))
        return;
    step(110, [&] {
        try {
            findMatch(options, false, false);
        } catch (const Failure &f) {
            replaceDialog->setStatus(f.description());
        }
    });
}

void Form1::replaceNext()
{
    Steps step(*this, "replaceNext");
    ReplaceFields fields;
    SearchOptions options;
    if (!takeReplaceSearch(step, 100, fields, options))
        return;
    step(110, [&] {
        try {
            const Searcher searcher(options);
            if (!searcher.error().isEmpty())
                throw Failure(searcher.error());
            // Only a selection that is a match is replaced; otherwise Replace finds the next one.
            Editor &e = currentEditor();
            const ByteMatch selected = selectionBytes(e);
            const Replacement replacement(fields.replaceWith, fields.regex, documentLineBreak(currentEditorIndex()));
            QByteArray with;
            bool isMatch = false;
            withText(e, [&](QByteArrayView text) {
                isMatch = searcher.next(text, selected.start) == selected;
                if (isMatch)
                    replacement.appendTo(with, text, searcher);
            });
            if (isMatch)
                e.setSelText(RawUtf8::toText(with));
            findMatch(searcher, false, false);
        } catch (const Failure &f) {
            replaceDialog->setStatus(f.description());
        }
    });
}

void Form1::replaceAll()
{
    Steps step(*this, "replaceAll");
    ReplaceFields fields;
    SearchOptions options;
    if (!takeReplaceSearch(step, 100, fields, options))
        return;
    std::unique_ptr<Searcher> searcher;
    step(110, [&] { searcher = std::make_unique<Searcher>(options); });
    if (step.test(112, [&] { return !searcher || !searcher->error().isEmpty(); })) {
        step(114, [&] { replaceDialog->setStatus(searcher ? searcher->error() : QString()); });
        return;
    }
    std::shared_ptr<PieceChange> pieces;
    bool searched = false;
    QByteArray span; // the text from the first match's start to the last one's end, replaced
    step(116, [&] {
        Editor &e = currentEditor();
        const Replacement with(fields.replaceWith, fields.regex, documentLineBreak(currentEditorIndex()));
        std::shared_ptr<PieceChange> found; // given to `pieces` only once the whole text is searched
        withText(e, [&](QByteArrayView text) {
            qint64 copied = 0; // the text up to here is in `span`
            for (qint64 pos = 0; pos <= text.size();) {
                const ByteMatch m = searcher->next(text, pos);
                if (!m.found())
                    break;
                if (!found) {
                    found = std::make_shared<PieceChange>(m.start);
                    copied = m.start;
                }
                span.append(text.data() + copied, m.start - copied);
                const qsizetype replacedAt = span.size();
                with.appendTo(span, text, *searcher);
                found->add(m.start - copied, text.sliced(m.start, m.end - m.start),
                           QByteArrayView(span).sliced(replacedAt));
                copied = m.end;
                // An empty match is followed by the search from the next character on.
                pos = m.end > m.start ? m.end : nextCharacterStart(text, m.end);
            }
        });
        if (found)
            found->finish();
        pieces = std::move(found);
        searched = true;
    });
    if (step.test(118, [&] { return !pieces; })) {
        if (searched)
            step(120, [&] { replaceDialog->setStatus(tr("No match was found; nothing was replaced.")); });
        return;
    }
    step(122, [&] {
        Editor &e = currentEditor();
        const int index = currentEditorIndex();
        const qint32 selBefore = e.selStart();
        const qint32 lengthBefore = e.textLength();
        {
            const QScopedValueRollback<bool> replacing(replacingAll, true);
            e.replaceUtf8(pieces->start(), pieces->start() + pieces->spanBefore(), span);
        }
        span = QByteArray();
        e.setSelStart(e.positionOfUtf8(pieces->start()));
        if (undo.UndoRecording) {
            undo.recordPieces(e, UndoDocument == index, pieces, selBefore, lengthBefore);
            UndoDocument = static_cast<qint16>(index);
        } else {
            noteUnrecordedChange(index);
        }
    });
    step(124, [&] {
        replaceDialog->setStatus(pieces->count() == 1 ? tr("Replaced 1 match.")
                                                      : tr("Replaced %1 matches.").arg(pieces->count()));
    });
}

void Form1::findAgain(bool backward)
{
    Steps step(*this, "findAgain");
    // Find's search, forward: exactly Find Next, also without a search to repeat.
    if (step.test(100, [&] { return !lastSearchFromReplace && (!backward || FindText.isEmpty()); })) {
        step(102, [&] { PushButton13_Click(); });
        return;
    }
    const SearchOptions options = lastSearchFromReplace ? lastSearch : SearchOptions{FindText, false, false, false};
    bool found = false;
    step(104, [&] { found = findMatch(options, backward, true); });
    // Find Next goes on from the match found.
    if (step.test(106, [&] { return found && !lastSearchFromReplace; })) {
        step(108, [&] {
            Editor &e = currentEditor();
            FindNextStart = e.selStart() + e.selLength() + 1;
            p.window.setFindNextAvailable(true);
        });
    }
}
