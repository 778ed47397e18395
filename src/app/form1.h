// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/steps.h"
#include "documents/document.h"
#include "documents/record.h"
#include "fileops/filestamp.h"
#include "fileops/textcodec.h"
#include "platform/opentarget.h"
#include "platform/platform.h"
#include "search/searcher.h"
#include "undo/modundos.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Editor;
class LineDialog;
class DraftStore;
class FileWatch;
class ReplaceDialog;
struct ReplaceFields;
struct Draft;
enum class Button;

// The file dialog's properties, set step by step before it is shown.
struct CommonDialog {
    QString FileName;
    QString DialogTitle;
    QString Filter;
};

// Which document a save works on: the selected tab's, looked up afresh at each step, or the one
// of a fixed editor.
struct SaveTarget {
    bool selected = true;
    int index = -1;
    static SaveTarget selectedTab() { return {}; }
    // The document of the editor with this index, wherever its tab is moved meanwhile.
    static SaveTarget ofEditor(int index) { return {false, index}; }
};

// The numbers under which a command reports the steps of saving one document: the dialog's
// steps when it asks for a path, the write and the mark's removal when the document has one.
struct SaveSteps {
    int clearName = 0, title = 0, filter = 0, show = 0, cancelled = 0, writeAs = 0, caption = 0, record = 0;
    int write = 0, clearMark = 0;
};

struct MenuItem {
    QString caption;
    bool visible = false;
};

inline const QString ProductTitle = QStringLiteral("Marquill");
inline const QString SupportAddress = QStringLiteral("support@example.org");

// The main window's logic. The platform calls its handlers; it calls the platform.
// Its state is public, as the window's variables are to its own procedures and to the tests.
class Form1 : public ErrorReporter {
    Q_DECLARE_TR_FUNCTIONS(Form1)

public:
    Form1(Platform &platform, ModUndos &undos);
    ~Form1() override;

    // --- app: start-up, error reports, settings, layout, quitting, look and pointer -------------
    void Form_Load();
    void ShortTitle();
    void reportError(const QString &description, const char *procedure, int step) override;
    QString GetSetting(const QString &key, const QString &defaultValue);
    void SaveSetting(const QString &key, const QString &value);
    void Form_Resize();
    void Form_QueryUnload(int &cancel, int unloadMode);
    void Form_Unload(int &cancel);
    void LoadSkin();
    void Form_MouseMove();
    void PushButton_MouseMove(Button button); // the mouse-move handler of every command button
    void clickButton(Button button);          // runs the button's command (app/commands.h)

    // --- documents: the document set, New, tab switching, Select All -----------------------------
    Editor &RichTextBox(int index); // throws when the element is not loaded
    Document &document(int index);  // throws when the element is not loaded
    const Document &document(int index) const;
    Document *loadedDocument(int index); // nullptr when the element is not loaded
    int loadedEditorCount() const;       // elements 0 .. n-1 are loaded
    void loadEditor(int index);          // Load: takes over element 0's font, position and size
    void unloadEditor(int index);        // Unload (Close All only)
    int currentEditorIndex() const;      // the index the selected tab stores
    Editor &currentEditor();
    bool isChanged(int position) const;                  // the tab's document has unsaved changes
    bool anyDocumentChanged(Steps &step, int firstStep); // steps firstStep to firstStep + 6
    void markChanged(int index);
    int tabOf(int index) const;                         // the position of the editor's tab, -1 when it has none
    QString captionWithoutMark(int position) const;     // the caption without its trailing change mark
    void setCaption(int index, const QString &caption); // the caption without mark; the tab shows it
    void clearChangedMark(int position);                // the document was written: no "*", no draft
    bool takeEditorIndex(Steps &step, int number);      // EditorCount + 1; false after an overflow
    void addUntitledDocument(Steps &step, int firstStep, int position); // for editor EditorCount - 1
    // A new tab at `position` for editor `index`, selected, with the editor loaded: the steps
    // firstStep to firstStep + 6 of New, Open and a restored draft. The tab's position, -1 when
    // it could not be inserted.
    int addDocumentTab(Steps &step, int firstStep, int index, int position, const QString &caption);
    void PushButton2_Click(); // New
    void TabControl1_SelectedChanged(int position);
    void PushButton5_Click();         // Select All
    void switchTab(int step);         // the next (1) or previous (-1) tab, round past the ends
    QString tabToolTip(int position); // full path, encoding and line breaks, or "Untitled"
    DocumentRecord record(int index); // editor `index`'s record; throws when it has none
    void setRecord(int index, const DocumentRecord &record);

    // --- fileops: Open, Save, Save As, Save All, Close, Close All -------------------------------
    void PushButton1_Click(); // Open
    void OpenFile(const QString &FilePath, bool SkipFocus);
    void PushButton7_Click();  // Save
    void PushButton14_Click(); // Save As
    void PushButton8_Click();  // Save All
    void PushButton11_Click(); // Close
    void PushButton12_Click(); // Close All
    // A tab's close button, a middle click on it or its menu's Close: Close for that tab, which
    // is selected while Close runs; the selection then goes back to the tab selected before,
    // if it is still there. True when the tab's document was closed.
    bool closeTab(int position);
    // The tab menu's Close Others: closes every other tab, left to right, as closeTab does; the
    // first one that stays (Cancel, or a save that did not happen) ends it.
    void closeOtherTabs(int position);
    QString tabPath(int position) const; // the file of the tab's document, "" for an untitled one
    // Files named on the command line, handed over by another start or dropped on the window:
    // each opens as Open opens it, the last one selected; those that cannot be read are named
    // in one notice.
    void openFiles(const QStringList &paths);
    // The same for the command line's forms: the caret goes to each one's line and column, a
    // file that does not exist yet opens empty under its name, and standard input's text opens
    // as a new untitled document.
    void openTargets(const OpenTargets &targets);
    void openNewFile(const QString &path);           // an empty document that Save writes to `path`
    void openStandardInput(const QByteArray &bytes); // decoded as Open decodes a file
    bool closePristineUntitled();                    // start-up's untouched Untitled1, once named files have opened
    bool mayOverwrite(int index, const QString &path, WriteTarget &target);  // asks when another program changed it
    void noteWritten(int index, const QString &path, const QString &target); // the document's text is in that file
    void savedAs(int position, const QString &path);                         // the tab's document now has that file
    // Where a save dialog for editor `index`'s document opens: its file, or for an untitled
    // document the folder (ending in "/") of the last file Open or a save dialog gave; "" when
    // neither is known.
    QString saveDialogStart(int index) const;
    void noteDialogFolder(const QString &path); // a dialog gave this file: the next ones start beside it
    // Saves one document to `path`, or, when `path` is empty, to the path a save dialog asks
    // for; the steps are reported under the caller's name with the caller's numbers.
    void saveDocument(Steps &step, SaveTarget target, const QString &path, const SaveSteps &number);

    // --- files changed on disk by other programs while they are open ---------------------------
    void watchDocumentFile(int index);               // after the document read or wrote its file
    void checkDiskChanges(const QStringList &paths); // the watch saw these files change
    void followDiskChange(int index);
    void reloadFromDisk(int index);

    // --- recent: the recent-files list, its menu, the open-files record --------------------------
    void LoadRecent();
    void AddRecent(const QString &DocumentRecord, bool RefreshMenu);
    void AddAllRecent();
    void SaveRecent();
    void LoadRecentMenu();
    void PushButton4_Click();        // Recent Files: shows the menu of recent files
    void subRecent_Click(int Index); // a file of the recent-files menu: opens it
    void WasOpenRecent(bool &AnyReopened);
    void SaveOpen();

    // --- drafts: unsaved text kept on disk until it is saved, for a run that does not end normally
    void writeDueDrafts();                     // the draft timer fired
    void restoreDrafts(bool &anyRestored);     // at start-up, after a run that did not end normally
    bool addDraftDocument(const Draft &draft); // false when the draft no longer fits its file
    void draftFailed(int index, const QString &description);

    // --- search: Find and Find Next --------------------------------------------------------------
    void PushButton3_Click();  // Find
    void PushButton13_Click(); // Find Next
    // Replace, the search options, F3 and Shift+F3 (search/replace.cpp).
    void showReplace();            // Ctrl+H, the editor menu's "Replace...": opens the Replace dialog
    void replaceFindNext();        // the Replace dialog's Find Next
    void replaceNext();            // the Replace dialog's Replace: the selected match, then the next
    void replaceAll();             // the Replace dialog's Replace All: the whole document, one change
    void findAgain(bool backward); // F3, Shift+F3: the last search, forward or backward
    // Steps firstStep to firstStep + 8 of the dialog's commands: its fields, refused when "Find
    // what:" is empty, else taken as the last search. False when there is nothing to search for.
    bool takeReplaceSearch(Steps &step, int firstStep, ReplaceFields &fields, SearchOptions &options);
    // Selects the next (previous) match from the selection on; at the end (start) asks to
    // start again as Find Next asks. False when there is none; throws when it cannot search.
    bool findMatch(const SearchOptions &options, bool backward, bool focusEditor);
    bool findMatch(const Searcher &searcher, bool backward, bool focusEditor); // one compiled already
    QByteArray documentLineBreak(int index) const;                             // what "\n" inserts into the document

    // --- navigation: Go to Line (Ctrl+G) and the status line (search/gotoline.cpp, app/statusline.cpp)
    void showGoToLine();                 // asks for a line number; the caret goes to the line's start
    void goToLine(int line, int column); // 1-based; clipped to the document; column in characters
    void setStatusLineShown(bool shown); // remembered as StatusLine=1
    bool statusLineShown() const { return statusLineShown_; }
    void updateStatusLine();                    // writes the current document's place into the status line
    QString statusLineText();                   // "Ln 12, Col 5 | Sel 3 | UTF-8 | CRLF | 150%"
    qint64 selectedCharacters(const Editor &e); // the selection's length in characters
    void noteStatusChange(int index);           // a change of editor `index`'s text, while the status line is shown
    LineDialog *lineDialog = nullptr;           // set by the platform
    bool statusLineShown_ = false;
    // The column last counted, so that typing along a long line counts only what it added.
    struct StatusColumn {
        const Editor *editor = nullptr;
        int lineStart = -1, position = -1;
        qint64 column = 0;
    } statusColumn_;
    // The selection last counted: one whose other end stays put is counted by its change only.
    struct StatusSelection {
        const Editor *editor = nullptr;
        int start = -1, end = -1;
        qint64 characters = 0;
    } statusSelection_;

    // --- undo: edit recording, Undo and Redo ----------------------------------------------------
    void RichTextBox1_Change(int Index);
    void PushButton6_Click();             // Undo
    void PushButton9_Click();             // Redo
    void noteUnrecordedChange(int Index); // a change the history does not record
    void editorCreated(int index);        // an editor was loaded: new, empty, unknown to the history

    // --- shortcuts: registration on the first tick, dispatch of each press ----------------------
    void Timer1_Timer();
    void onHotKey(int id);            // a pressed shortcut, as the platform reports it
    bool shortcutFromOutside(int id); // may it run, pressed while another application was active?
    // The shortcut ids: the atoms of "A00F1" .. "A00F6", 0 until the first tick.
    qint32 HotKeyNew = 0, HotKeyOpen = 0, HotKeySave = 0, HotKeySaveAs = 0, HotKeyClose = 0, HotKeyUndo = 0;

    // --- view: the editor's menu, its clipboard commands, zoom, word wrap and line numbers --------
    // The editor's menu (right click, the Menu key, Shift+F10), at (x, y) twips of the window.
    void editorMenu(double x, double y);
    bool canUndo() const; // Undo would take a step back
    bool canRedo() const; // Redo would take a step forward
    bool hasSelection() const;
    bool canPaste() const;
    void mnuCut_Click();
    void mnuCopy_Click();
    void mnuPaste_Click();
    void mnuDelete_Click();
    void zoomEditor(int step); // the current document's zoom one step in (1) or out (-1); 0 resets it
    void loadViewSettings();   // WordWrap and LineNumbers from the settings, onto every editor
    void applyView(Editor &e); // the view options onto an editor that was just loaded
    bool wordWrap() const { return WordWrap; }
    void setWordWrap(bool on); // Word Wrap: every editor, remembered as WordWrap
    bool lineNumbers() const { return LineNumbers; }
    void setLineNumbers(bool on); // Line Numbers: every editor, remembered as LineNumbers
    void focusEditor();           // the keyboard back to the current document (Escape, F6 on a button)

    // --- state ----------------------------------------------------------------------------------
    Platform &p;
    ModUndos &undo;
    std::vector<Document> documents; // index -> the document of editor element `index`
    qint16 EditorCount = 0;
    bool Busy = false;
    qint16 UndoDocument = 0;
    CommonDialog CommonDialog1;
    QStringList RecentList;
    std::vector<MenuItem> subRecent{MenuItem{}};
    bool RecentMenuHasItems = false;
    QString lastDialogFolder; // of the last file Open or a save dialog gave in this run, ending in "/"
    QString FindText;
    qint32 FindNextStart = 0;
    ReplaceDialog *replaceDialog = nullptr; // the platform's, once it has one
    SearchOptions lastSearch;               // the Replace dialog's last search
    bool lastSearchFromReplace = false;     // F3 repeats the Replace dialog's search, not Find's
    bool replacingAll = false;              // Replace All's change is under way: it records itself
    bool hotKeysRegistered = false;
    bool globalShortcutsSettled = false; // asked whether they act everywhere, or found it set
    bool quitRequested = false;          // set by Form_Unload: the platform ends the program
    std::unique_ptr<DraftStore> drafts;
    bool draftFailureReported = false;
    std::unique_ptr<FileWatch> fileWatch;
    bool WordWrap = false, LineNumbers = false; // the view options, off by default
};
