// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documents/draftjournal.h"
#include "fileops/filestamp.h"
#include "fileops/textcodec.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <vector>

class QLockFile;

// A document's unsaved text as kept on disk, with what it takes to open it again as it was.
struct Draft {
    QString path; // the document's file, empty for an untitled document
    TextFormat format;
    FileStamp file;  // the file as the document last read or wrote it
    QByteArray text; // UTF-8 with the line breaks the editor holds
    // A journal: the changes to apply to `text`, or, when `onFile`, to the text of the file as
    // `file` describes it.
    bool onFile = false;
    std::vector<JournalRecord> records;
};

// A draft file: a few "key=value" lines, an empty line, then the text (drafts of earlier
// versions) or the journal's records.
QByteArray draftHeader(const Draft &draft);
QByteArray journalHeader(const Draft &draft);
std::optional<Draft> parseDraft(const QByteArray &bytes);

// $XDG_STATE_HOME/marquill/drafts, with ~/.local/state when XDG_STATE_HOME is unset or relative.
QString draftsRoot();

// The drafts of one run, in a folder of its own under the root, and those that runs which did not
// end normally left behind. A run's folder is guarded by a lock file beside it for as long as the
// run lives; a folder whose lock nobody holds belongs to a run that ended without cleaning up.
// Writing and removing happen on a worker thread, in the order they were asked for. Drafts hold
// the text of files that may be private: the folders are the user's alone (0700) and the files
// too (0600), whatever the umask, and folders found wider are narrowed when the store is made.
class DraftStore {
public:
    explicit DraftStore(const QString &root);
    ~DraftStore(); // finishes the queued work; a run that ends this way leaves its drafts

    // Replaces the draft of editor `index` with a journal of the records (the first may hold the
    // whole text); work on that draft still waiting is dropped.
    void write(int index, const QByteArray &header, std::vector<JournalRecord> records);
    // Adds the records to the draft's journal.
    void append(int index, std::vector<JournalRecord> records);
    void remove(int index);
    void removeAll();
    // A normal end: this run's drafts and folder go away.
    void end();
    // Blocks until the queued work is done (tests, and the end).
    void waitIdle();
    bool idle();

    // The drafts that ended runs left, oldest run first; those runs are claimed until one of the
    // two calls below.
    std::vector<Draft> leftBehind();
    void discardLeftBehind(); // after the work queued so far
    void keepLeftBehind();    // for the next start to ask again

    // A write that failed, reported on the thread that made the store, with the editor index
    // whose journal it was (-1 for none); that journal needs writing afresh.
    std::function<void(int index, const QString &description)> onFailure;
    int failureCount() const { return failures_; }
    QString lastFailure();

    // Where the worker's bytes go: ::write, unless a test plays a full or failing disk.
    std::function<long(int fd, const char *data, size_t size)> writeBytes;

    QString sessionFolder() const { return session_; }

private:
    struct Job {
        enum Kind { Write, Append, Remove, RemoveAll, Discard, End } kind;
        int index = 0;
        QByteArray header;
        std::vector<JournalRecord> records;
        std::vector<std::shared_ptr<QLockFile>> claims;
        std::vector<QString> folders;
    };
    void push(Job job);
    void run();
    void perform(Job &job);
    bool openSession(QString &error);
    QString fileOf(int index) const;
    void fail(int index, const QString &description);
    bool writeAll(int fd, QByteArrayView bytes);
    bool writeRecords(int fd, const std::vector<JournalRecord> &records);
    void writeJournal(Job &job);
    void appendJournal(Job &job);

    QString root_, session_;
    std::unique_ptr<QLockFile> lock_; // used by the worker only
    std::vector<std::shared_ptr<QLockFile>> claimed_;
    std::vector<QString> claimedFolders_;
    std::set<int> broken_; // worker only: journals a failed write left behind their text

    std::mutex mutex_;
    std::condition_variable wake_, idle_;
    std::deque<Job> jobs_;
    bool busy_ = false, stop_ = false;
    std::atomic<int> failures_{0};
    QString lastFailure_;
    std::thread worker_;
    QObject context_; // failures reach the creating thread through its event queue
};
