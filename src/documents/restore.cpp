#include "app/form1.h"
#include "documents/drafts.h"
#include "documents/record.h"

#include "fileops/getfilename.h"
#include "platform/editor.h"
#include "platform/prompts.h"
#include "platform/tabstrip.h"


void Form1::writeDueDrafts()
{
    // The copy is taken here, on the thread that owns the editors; the writing is the store's.
    for (int position = 0; position < p.tabs.count(); ++position) {
        const int index = p.tabs.itemData(position);
        if (index < 0 || index >= static_cast<int>(documents.size()) || !documents[index].loaded())
            continue;
        Document &d = documents[index];
        if (!d.unsaved || !d.draftDue)
            continue;
        Draft draft{d.record.path, d.format, d.file, {}};
        drafts->write(index, draftHeader(draft), d.editor->utf8());
        d.draftDue = false;
    }
}

void Form1::draftFailed(const QString &description)
{
    // Once a run: the folder that failed will fail again at the next pause in typing.
    if (draftFailureReported)
        return;
    draftFailureReported = true;
    p.prompts.msgBox(QStringLiteral("Unsaved changes cannot be kept as drafts (") + description +
                         QStringLiteral("). Save your documents to keep your changes."),
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
    const int answer = p.prompts.msgBox(
        QStringLiteral("Marquill did not close normally. Restore %1 unsaved documents?").arg(left.size()),
        MsgStyle::YesNo + MsgStyle::Discards, QString());
    if (answer == MsgResult::No) {
        drafts->discardLeftBehind();
        return;
    }
    if (answer != MsgResult::Yes) {
        // Dismissed without an answer: nothing is thrown away; the next start asks again.
        drafts->keepLeftBehind();
        return;
    }
    for (const Draft &d : left) {
        addDraftDocument(d);
        anyRestored = true;
    }
    // The restored documents are drafted in this run's folder before the old ones go.
    writeDueDrafts();
    drafts->discardLeftBehind();
}

void Form1::addDraftDocument(const Draft &draft)
{
    Steps step(*this, "RestoreDraft");
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
            // The draft holds the buffer's own bytes: they go back without a decoded copy.
            Document &d = document(index);
            d.editor->loadUtf8(draft.text.size(), [&](const Editor::Append &append) { append(draft.text); });
            d.format = draft.format;
            d.file = draft.file;
        });
        step(118, [&] { setRecord(index, DocumentRecord{false, draft.path}); });
        step(120, [&] { markChanged(index); });
        step(122, [&] { RichTextBox(index).setVisible(true); });
        step(124, [&] { RichTextBox(index).zOrder(); });
    }
    step(126, [&] { Busy = false; });
}
