// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "documents/drafts.h"
#include "documents/formatname.h"
#include "documents/record.h"

#include "platform/editor.h"
#include "platform/files.h"
#include "platform/oneshot.h"
#include "platform/tabstrip.h"

#include <QCoreApplication>
#include <utility>

namespace {
// The drafts are brought up to date this long after the first change since they last were, so
// that a crash loses at most this much typing.
constexpr int DraftDelay = 1000;
} // namespace

Document &Form1::document(int index)
{
    return const_cast<Document &>(std::as_const(*this).document(index));
}

Document *Form1::loadedDocument(int index)
{
    if (index < 0 || index >= static_cast<int>(documents.size()) || !documents[index].loaded())
        return nullptr;
    return &documents[index];
}

const Document &Form1::document(int index) const
{
    if (index < 0 || index >= static_cast<int>(documents.size()) || !documents[index].loaded())
        throw Failure(QCoreApplication::translate("Failure", "Control array element '%1' doesn't exist").arg(index));
    return documents[index];
}

Editor &Form1::RichTextBox(int index)
{
    return *document(index).editor;
}

int Form1::loadedEditorCount() const
{
    int n = 0;
    while (n < static_cast<int>(documents.size()) && documents[n].loaded())
        ++n;
    return n;
}

void Form1::loadEditor(int index)
{
    if (index < 0)
        throw Failure(QCoreApplication::translate("Failure", "Control array element '%1' doesn't exist").arg(index));
    if (index < static_cast<int>(documents.size()) && documents[index].loaded())
        throw Failure(QCoreApplication::translate("Failure", "Object already loaded"));
    if (index >= static_cast<int>(documents.size()))
        documents.resize(index + 1);
    Editor *e = p.editors.createElement(index);
    e->setChangeHandler([this, index] { Steps(*this, "RichTextBox1_Change")(0, [&] { RichTextBox1_Change(index); }); });
    documents[index] = Document{};
    documents[index].editor = e;
    applyView(*e);
    if (statusLineShown_)
        e->setViewHandler([this] { updateStatusLine(); });
    editorCreated(index);
}

void Form1::unloadEditor(int index)
{
    if (index == 0)
        throw Failure(QCoreApplication::translate("Failure", "Can't unload control array element 0"));
    Editor &e = RichTextBox(index);
    e.setChangeHandler(nullptr);
    documents[index] = Document{};
    p.editors.destroyElement(&e);
    while (!documents.empty() && !documents.back().loaded())
        documents.pop_back();
}

int Form1::currentEditorIndex() const
{
    const int position = p.tabs.selectedPosition();
    if (position < 0)
        throw Failure(QCoreApplication::translate("Failure", "Index out of bounds"));
    return p.tabs.itemData(position);
}

Editor &Form1::currentEditor()
{
    return RichTextBox(currentEditorIndex());
}

bool Form1::isChanged(int position) const
{
    return document(p.tabs.itemData(position)).unsaved;
}

int Form1::tabOf(int index) const
{
    const int selected = p.tabs.selectedPosition();
    if (selected >= 0 && p.tabs.itemData(selected) == index)
        return selected;
    for (int i = 0; i < p.tabs.count(); ++i) {
        if (p.tabs.itemData(i) == index)
            return i;
    }
    return -1;
}

bool Form1::anyDocumentChanged(Steps &step, int firstStep)
{
    bool changed = false;
    step(firstStep, [&] { changed = false; });
    int count = 0;
    step(firstStep + 2, [&] { count = p.tabs.count(); });
    for (int i = 0; i < count; ++i) {
        // A caption that cannot be read counts as changed.
        if (step.test(firstStep + 4, [&] { return isChanged(i); })) {
            step(firstStep + 6, [&] { changed = true; });
            break;
        }
    }
    return changed;
}

void Form1::markChanged(int index)
{
    Document &d = document(index);
    if (!d.record.changed)
        setRecord(index, DocumentRecord{true, d.record.path});
    d.draftDue = true;
    if (!p.draftTimer.isActive())
        p.draftTimer.start(DraftDelay);
    if (d.unsaved)
        return;
    d.unsaved = true;
    setCaption(index, d.caption);
}

QString Form1::captionWithoutMark(int position) const
{
    return document(p.tabs.itemData(position)).caption;
}

void Form1::setCaption(int index, const QString &caption)
{
    // The mark follows the state, so a "*" in a file name means nothing.
    Document &d = document(index);
    d.caption = caption;
    if (d.editor) // a screen reader names the editor as the tab, without the mark
        d.editor->setAccessibleName(shownName(caption));
    const int position = tabOf(index);
    if (position >= 0)
        p.tabs.setCaption(position, shownName(d.shownCaption()));
}

void Form1::clearChangedMark(int position)
{
    const int index = p.tabs.itemData(position);
    Document &d = document(index);
    d.unsaved = false;
    d.draftDue = false;
    setCaption(index, d.caption);
    drafts->remove(index);
    d.journal.startOnFile();
}

bool Form1::takeEditorIndex(Steps &step, int number)
{
    // After an overflow no index is free: a document added anyway would take over the editor
    // of the previous one, so the caller adds none.
    bool taken = false;
    step(number, [&] {
        EditorCount = checkedIncrement(EditorCount);
        taken = true;
    });
    return taken;
}

void Form1::addUntitledDocument(Steps &step, int firstStep, int position)
{
    // The steps New and Close's replacement share, firstStep to firstStep + 16 (the step-number
    // test knows this span).
    const int index = EditorCount - 1;
    addDocumentTab(step, firstStep, index, position, untitledCaption(EditorCount));
    step(firstStep + 8, [&] { setRecord(index, DocumentRecord::untitled()); });
    step(firstStep + 10, [&] { RichTextBox(index).setText(QString()); });
    step(firstStep + 12, [&] { RichTextBox(index).setVisible(true); });
    step(firstStep + 14, [&] { RichTextBox(index).zOrder(); });
    step(firstStep + 16, [&] { RichTextBox(index).setFocus(); });
}

int Form1::addDocumentTab(Steps &step, int firstStep, int index, int position, const QString &caption)
{
    int tab = -1;
    step(firstStep, [&] { tab = p.tabs.insertTab(position, shownName(caption)); });
    step(firstStep + 2, [&] { p.tabs.select(tab); });
    step(firstStep + 4, [&] { p.tabs.setItemData(tab, static_cast<qint16>(index)); });
    step(firstStep + 6, [&] {
        loadEditor(index);
        documents[index].caption = caption;
        RichTextBox(index).setAccessibleName(shownName(caption));
    });
    return tab;
}

void Form1::PushButton2_Click()
{
    Steps step(*this, "PushButton2_Click");
    step(100, [&] { Busy = true; });
    if (takeEditorIndex(step, 102))
        addUntitledDocument(step, 104, EditorCount - 1);
    step(122, [&] { Busy = false; });
}

void Form1::TabControl1_SelectedChanged(int position)
{
    if (Busy)
        return;
    const int index = p.tabs.itemData(position);
    for (int i = 0; i < EditorCount && i < static_cast<int>(documents.size()); ++i) {
        if (documents[i].loaded())
            documents[i].editor->setVisible(false);
    }
    Editor &e = RichTextBox(index);
    e.setZoom(document(index).zoom);
    e.setVisible(true);
    e.setFocus();
    updateStatusLine();
}

void Form1::PushButton5_Click()
{
    Steps step(*this, "PushButton5_Click");
    step(100, [&] { currentEditor().setSelStart(0); });
    step(102, [&] { currentEditor().setSelLength(currentEditor().textLength()); });
    step(104, [&] { currentEditor().setFocus(); });
}

void Form1::switchTab(int step)
{
    // Past the last tab comes the first again, as in the other tabbed programs on the desktop.
    Steps steps(*this, "switchTab");
    steps(100, [&] {
        const int count = p.tabs.count();
        if (count < 2)
            return;
        p.tabs.select(((p.tabs.selectedPosition() + step) % count + count) % count);
    });
}

QString Form1::tabToolTip(int position)
{
    const Document &d = document(p.tabs.itemData(position));
    if (d.record.path.isEmpty())
        return tr("Untitled");
    return shownName(d.record.path) + QLatin1Char('\n') + describeFormat(d.format);
}

DocumentRecord Form1::record(int index)
{
    return document(index).record;
}

void Form1::setRecord(int index, const DocumentRecord &record)
{
    Document &d = document(index);
    d.record = record;
    d.editor->setTag(record.text());
}
