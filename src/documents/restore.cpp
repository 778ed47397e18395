// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "documents/drafts.h"
#include "documents/record.h"

#include "fileops/filestamp.h"
#include "fileops/getfilename.h"
#include "fileops/textcodec.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"

#include <QDir>

void Form1::writeDueDrafts()
{
    // What changed goes to the store, which writes it on its own thread; the whole text is taken
    // here only for a journal that starts afresh.
    for (int position = 0; position < p.tabs.count(); ++position) {
        const int index = p.tabs.itemData(position);
        Document *found = loadedDocument(index);
        if (!found || !found->unsaved || !found->draftDue)
            continue;
        Document &d = *found;
        DraftJournal &journal = d.journal;
        const Editor &e = *d.editor;
        // A journal longer than the text it leads to is replaced by the text.
        if (journal.started && journal.written + journal.pendingBytes > e.utf8Length())
            journal.wholeTextDue = true;
        Draft draft{d.record.path, d.format, d.file, {}, false, {}};
        if (journal.wholeTextDue) {
            std::vector<JournalRecord> whole{JournalRecord{0, 0, e.utf8()}};
            journal.written = encodedSize(whole.front());
            journal.onFile = false;
            drafts->write(index, journalHeader(draft), std::move(whole));
        } else if (!journal.started) {
            draft.onFile = journal.onFile;
            journal.written = journal.pendingBytes;
            drafts->write(index, journalHeader(draft), std::move(journal.pending));
        } else {
            journal.written += journal.pendingBytes;
            drafts->append(index, std::move(journal.pending));
        }
        journal.pending.clear();
        journal.pendingBytes = 0;
        journal.wholeTextDue = false;
        journal.started = true;
        d.draftDue = false;
    }
}

void Form1::draftFailed(int index, const QString &description)
{
    // The journal lost what that write held: the next one starts it afresh with the whole text.
    if (Document *d = loadedDocument(index); d && d->unsaved) {
        d->journal.wholeTextDue = true;
        d->draftDue = true;
    }
    // Once a run: the folder that failed will fail again at the next pause in typing.
    if (draftFailureReported)
        return;
    draftFailureReported = true;
    p.prompts.msgBox(
        tr("Unsaved changes cannot be kept as drafts (%1). Save your documents to keep your changes.").arg(description),
        MsgStyle::OkOnly + MsgStyle::Exclamation, QString());
}

void Form1::restoreDrafts(bool &anyRestored)
{
    anyRestored = false;
    const std::vector<Draft> left = drafts->leftBehind();
    if (left.empty()) {
        drafts->discardLeftBehind(); // folders of ended runs without drafts
        return;
    }
    // Restore is the default, Escape keeps the drafts for the next start, and a key typed as the
    // box comes up answers nothing: no single key throws the drafts away.
    const int count = static_cast<int>(left.size());
    const int answer =
        p.prompts.msgBox(tr("Marquill did not close normally. Restore %n unsaved documents?", nullptr, count),
                         MsgStyle::YesNo + MsgStyle::Discards + MsgStyle::HoldKeys, QString());
    if (answer == MsgResult::No) {
        const int sure = p.prompts.msgBox(tr("Delete %n unsaved documents for good?", nullptr, count),
                                          MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2 +
                                              MsgStyle::Discards + MsgStyle::HoldKeys,
                                          QString());
        if (sure == MsgResult::Yes)
            drafts->discardLeftBehind();
        else
            drafts->keepLeftBehind();
        return;
    }
    if (answer != MsgResult::Yes) {
        // Dismissed without an answer: nothing is thrown away; the next start asks again.
        drafts->keepLeftBehind();
        return;
    }
    QStringList unfit;
    for (const Draft &d : left) {
        if (addDraftDocument(d))
            anyRestored = true;
        else
            unfit << QDir::toNativeSeparators(d.path);
    }
    // The old drafts go only once the restored documents are drafted in this run's folder.
    const int failuresBefore = drafts->failureCount();
    writeDueDrafts();
    drafts->waitIdle();
    if (drafts->failureCount() != failuresBefore) {
        drafts->keepLeftBehind();
        draftFailureReported = true; // this notice says it; the store's own would repeat it
        p.prompts.msgBox(tr("The restored documents cannot be kept as drafts (%1). Their old drafts are kept for "
                            "the next start; save your documents to keep your changes.")
                             .arg(drafts->lastFailure()),
                         MsgStyle::OkOnly + MsgStyle::Exclamation, QString());
        return;
    }
    if (!unfit.isEmpty()) {
        drafts->keepLeftBehind();
        p.prompts.msgBox(tr("%1 changed on disk after Marquill ended: the unsaved changes cannot be put on its new "
                            "text. Their draft is kept for the next start.")
                             .arg(unfit.join(QStringLiteral(", "))),
                         MsgStyle::OkOnly + MsgStyle::Exclamation, QString());
        return;
    }
    drafts->discardLeftBehind();
}

bool Form1::addDraftDocument(const Draft &draft)
{
    Steps step(*this, "RestoreDraft");
    // A journal on a file leads from the file as it was; from any other text it leads nowhere.
    if (draft.onFile && !step.test(99, [&] { return checkFile(draft.file) == DiskState::Same; }))
        return false;
    step(100, [&] { Busy = true; });
    // A file that the last normal end left open is open again already, as it is on disk: its
    // draft goes into that tab rather than into a second one.
    int position = -1, index = -1;
    step(102, [&] {
        for (int at = 0; at < p.tabs.count() && !draft.path.isEmpty(); ++at) {
            if (!isChanged(at) && record(p.tabs.itemData(at)).path == draft.path) {
                position = at;
                index = p.tabs.itemData(at);
                break;
            }
        }
    });
    if (index < 0 && takeEditorIndex(step, 104)) {
        index = EditorCount - 1;
        const QString caption = draft.path.isEmpty() ? untitledCaption(EditorCount) : GetFileName(draft.path);
        position = addDocumentTab(step, 106, index, index, caption);
    } else if (index >= 0) {
        step(114, [&] { p.tabs.select(position); });
    }
    if (index >= 0) { // unless no editor was left for it
        step(116, [&] {
            Document &d = document(index);
            Editor &e = *d.editor;
            if (draft.onFile) {
                loadTextFile(draft.path, e);
                d.journal.startOnFile(); // what follows goes into the new journal
            } else {
                // The draft holds the buffer's own bytes: they go back without a decoded copy.
                e.loadUtf8(draft.text.size(), [&](const Editor::Append &append) { append(draft.text); });
            }
            applyRecords(e, draft.records);
            e.setSelStart(0);
            d.format = draft.format;
            d.file = draft.file;
            watchDocumentFile(index);
        });
        step(118, [&] { setRecord(index, DocumentRecord{false, draft.path}); });
        step(120, [&] { markChanged(index); });
        step(122, [&] { RichTextBox(index).setVisible(true); });
        step(124, [&] { RichTextBox(index).zOrder(); });
    }
    step(126, [&] { Busy = false; });
    return true;
}
