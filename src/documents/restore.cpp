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
        if (index < 0 || index >= static_cast<int>(DocumentStates.size()) || !RichTextBox1[index])
            continue;
        DocumentState &state = DocumentStates[index];
        if (!state.unsaved || !state.draftDue)
            continue;
        Draft draft{recordPath(RichTextBox1[index]->tag()), DocumentFormat[index], state.file, {}};
        drafts->write(index, draftHeader(draft), RichTextBox1[index]->utf8());
        state.draftDue = false;
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
    const int answer = p.prompts.msgBox(QStringLiteral("Marquill did not close normally. Restore %1 unsaved documents?")
                                            .arg(left.size()),
                                        MsgStyle::YesNo, QString());
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
    if (takeEditorIndex(step, 102)) {
        const int index = EditorCount - 1;
        const QString caption =
            draft.path.isEmpty() ? untitledCaption(EditorCount) : GetFileName(draft.path);
        int position = -1;
        step(104, [&] { position = p.tabs.insertTab(index, caption + QLatin1Char('*')); });
        step(106, [&] { p.tabs.select(position); });
        step(108, [&] { p.tabs.setItemData(position, static_cast<qint16>(index)); });
        step(110, [&] { loadEditor(index); });
        step(112, [&] {
            // The draft holds the buffer's own bytes: they go back without a decoded copy.
            RichTextBox(index).loadUtf8(draft.text.size(), [&](const Editor::Append &append) { append(draft.text); });
            DocumentFormat[index] = draft.format;
            DocumentState &state = DocumentStates[index];
            state.unsaved = true;
            state.draftDue = true;
            state.file = draft.file;
        });
        step(114, [&] { setRecord(index, DocumentRecord{true, draft.path}); });
        step(116, [&] { RichTextBox(index).setVisible(true); });
        step(118, [&] { RichTextBox(index).zOrder(); });
    }
    step(120, [&] { Busy = false; });
}
