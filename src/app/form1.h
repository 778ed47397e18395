#pragma once

#include "app/steps.h"
#include "documents/document.h"
#include "documents/record.h"
#include "fileops/filestamp.h"
#include "fileops/textcodec.h"
#include "platform/opentarget.h"
#include "platform/platform.h"
#include "undo/modundos.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class Editor;
class LineDialog;
class DraftStore;
class FileWatch;
struct Draft;
enum class Button;

// The file dialog's properties, set step by step before it is shown.
struct CommonDialog {
    QString FileName;
    QString DialogTitle;
    QString Filter;
};

// Which document a save works on: the selected tab's, looked up afresh at each step, or the one
// at a fixed position.
struct SaveTarget {
    bool selected = true;
    int position = -1;
    static SaveTarget selectedTab() { return {}; }
    static SaveTarget tabAt(int position) { return {false, position}; }
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

    // --- navigation: Go to Line (Ctrl+G) and the status line (search/gotoline.cpp, app/statusline.cpp)
    void showGoToLine();                 // asks for a line number; the caret goes to the line's start
    void goToLine(int line, int column); // 1-based; clipped to the document; column in characters
    void setStatusLineShown(bool shown); // remembered as StatusLine=1
    bool statusLineShown() const { return statusLineShown_; }
    void updateStatusLine();          // writes the current document's place into the status line
    QString statusLineText();         // "Ln 12, Col 5 | Sel 3 | UTF-8 | CRLF | 150%"
    void noteStatusChange(int index); // a change of editor `index`'s text, while the status line is shown
    LineDialog *lineDialog = nullptr; // set by the platform
    bool statusLineShown_ = false;
    // The column last counted, so that typing along a long line counts only what it added.
    struct StatusColumn {
        const Editor *editor = nullptr;
        int lineStart = -1, position = -1;
        qint64 column = 0;
    } statusColumn_;

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
    QString FindText;
    qint32 FindNextStart = 0;
    bool hotKeysRegistered = false;
    bool globalShortcutsSettled = false; // asked whether they act everywhere, or found it set
    bool quitRequested = false;          // set by Form_Unload: the platform ends the program
    std::unique_ptr<DraftStore> drafts;
    bool draftFailureReported = false;
    std::unique_ptr<FileWatch> fileWatch;
};
