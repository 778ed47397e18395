// SPDX-License-Identifier: GPL-3.0-or-later
// The whole program under a user's hands: the real Form1 on its Qt platform, driven the way a
// user drives it (key events to the focused editor, the command buttons' handlers), with a
// QPlainTextEdit on the same text as the yardstick. Prints its figures next to the budgets.
//
// Run: QT_QPA_PLATFORM=offscreen build/release/bench/bench_form1 [options] [scenario...]
// Scenarios (all but open-1gb by default): open-1mb open-100mb open-1gb typing-end typing-middle
// typing-status typing-line history undo-redo find find-options replace-all save; groups: open, typing, all.
// Options: --big (adds open-1gb), --no-yardstick, --keys N, --max-seconds S, --max-rss-mb M,
// --a11y (a screen reader listening: accessibility on, every event built and read as the desktop's
// bridge reads it; Qt turns it on only on a desktop platform with the accessibility bus running,
// so run it as README.md shows: under xvfb-run and dbus-run-session with at-spi-bus-launcher),
// --word-wrap (the program's Word Wrap on, as the editor's menu turns it on).
// Each part of a scenario (the program, then the yardstick) runs in a fresh process of its own, so
// that one's memory and allocator state do not colour the next one's figures. Test files are
// written to a temporary folder under /tmp and removed at the end.
#include "platform/qt/qtapplication.h"
#include "platform/replacedialog.h"
#include "undo/piecechange.h"

#include <QAccessible>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <functional>
#include <malloc.h>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace {

// --- measuring -----------------------------------------------------------------------------------

double wallNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double cpuNow()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// A field of /proc/self/status in kB ("VmRSS", "VmHWM").
long statusKb(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

long rssKb()
{
    return statusKb("VmRSS");
}

// Starts the peak (VmHWM) afresh from the present resident size.
bool resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    return f.open(QIODevice::WriteOnly) && f.write("5") == 1;
}

double mb(double kb)
{
    return kb / 1024.0;
}

// Runs what is pending: change notifications are synchronous, repaints and layout are posted.
void settle()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// Hands freed memory back, so that one scenario's leftovers do not count in the next.
void releaseMemory()
{
    settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    malloc_trim(0);
}

struct Figures {
    double wall = 0, cpu = 0;
    long rssBefore = 0, rssAfter = 0, peak = 0; // kB
};

class Meter {
public:
    void start()
    {
        resetPeak();
        f_ = Figures{};
        f_.rssBefore = rssKb();
        wall_ = wallNow();
        cpu_ = cpuNow();
    }
    Figures stop()
    {
        f_.wall = wallNow() - wall_;
        f_.cpu = cpuNow() - cpu_;
        f_.rssAfter = rssKb();
        f_.peak = statusKb("VmHWM");
        return f_;
    }

private:
    Figures f_;
    double wall_ = 0, cpu_ = 0;
};

void printFigures(const char *who, const QString &what, const Figures &f)
{
    std::printf("  %-14s %-26s wall %8.3f s  cpu %8.3f s  RSS %6.0f MB (%+.0f)  peak %6.0f MB (%+.0f)\n", who,
                qPrintable(what), f.wall, f.cpu, mb(f.rssAfter), mb(f.rssAfter - f.rssBefore), mb(f.peak),
                mb(f.peak - f.rssBefore));
}

// Budget lines are printed where they are measured and collected in this file for the summary.
QString budgetFile;

void budget(const QString &scenario, const QString &what, double value, double limit, const char *unit,
            const QString &note = QString())
{
    const bool pass = value <= limit;
    const QString line = QStringLiteral("%1 %2 %3 %4 (budget <= %5 %4): %6%7")
                             .arg(scenario, -14)
                             .arg(what, -34)
                             .arg(value, 10, 'f', value < 10 ? 3 : 1)
                             .arg(QString::fromLatin1(unit))
                             .arg(limit)
                             .arg(pass ? QStringLiteral("pass") : QStringLiteral("over"))
                             .arg(note.isEmpty() ? QString() : QStringLiteral("  [") + note + QLatin1Char(']'));
    std::printf("  budget: %s\n", qPrintable(line));
    QFile f(budgetFile);
    if (!budgetFile.isEmpty() && f.open(QIODevice::Append))
        f.write(line.toUtf8() + '\n');
}

// On a shared machine the wall time includes waiting for a core; the CPU time says what the work took.
QString cpuNote(const Figures &f)
{
    return QStringLiteral("cpu %1 s").arg(f.cpu, 0, 'f', 3);
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t i = std::min(v.size() - 1, static_cast<size_t>(p * double(v.size() - 1) + 0.5));
    return v[i];
}

// --- the edit history, as far as the program's lists can be read --------------------------------

struct HistoryInfo {
    long long records = -1; // -1: the lists cannot be read
    long long bytes = -1;   // -1: what the records hold cannot be counted
};

// Counts Form1's undo and redo lists: records and the text they keep (shared texts once).
// Written against what the history exposes; what it cannot see it leaves at -1.
template <class History> HistoryInfo readHistory(const History &h)
{
    HistoryInfo info;
    if constexpr (requires {
                      h.Undos.size();
                      h.Redos.size();
                  }) {
        info.records = static_cast<long long>(h.Undos.size() + h.Redos.size());
        if constexpr (requires { h.Undos.front().Text.capacity(); }) {
            std::unordered_set<const void *> counted;
            long long bytes = 0;
            for (const auto *list : {&h.Undos, &h.Redos}) {
                bytes += static_cast<long long>(list->capacity() * sizeof(list->front()));
                for (const auto &r : *list) {
                    if (counted.insert(r.Text.constData()).second)
                        bytes += static_cast<long long>(r.Text.capacity()) * 2;
                }
            }
            info.bytes = bytes;
        } else if constexpr (requires { h.Undos.front().removed.capacity(); }) {
            long long bytes = 0;
            for (const auto *list : {&h.Undos, &h.Redos}) {
                bytes += static_cast<long long>(list->capacity() * sizeof(list->front()));
                for (const auto &r : *list)
                    bytes += static_cast<long long>(r.removed.capacity() + r.inserted.capacity()) * 2;
            }
            info.bytes = bytes;
        }
    }
    return info;
}

// --- test files ----------------------------------------------------------------------------------

// A word that occurs once, near the end of every generated file.
const QString FindWord = QStringLiteral("Xylophonistik");
const QByteArray NeedleWord = QByteArrayLiteral("needle"); // no word of linePool() or randomWord()

quint32 nextRandom(quint32 &seed)
{
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
}

const char *const Words[] = {"the",  "and",     "of",   "to",    "in",           "request", "server", "value",
                             "line", "error",   "café", "über",  "naïve",        "Straße",  "façade", "→",
                             "😀",    "résumé",  "is",   "with",  "2026-12-08",   "id=4711", "0x7f3a", "for",
                             "log",  "warning", "«ok»", "done.", "12:45:03.118", "{\"k\":", "a",      "Zürich"};

QByteArray randomWord(quint32 &seed)
{
    return QByteArray(Words[nextRandom(seed) % std::size(Words)]);
}

// About 1 MB of mixed lines: short and long, some empty, some non-ASCII, "\n" line breaks.
QByteArray linePool()
{
    QByteArray pool;
    quint32 seed = 42;
    while (pool.size() < 1024 * 1024) {
        const quint32 r = nextRandom(seed) % 100;
        const int words = r < 4 ? 0 : r < 6 ? 40 + int(nextRandom(seed) % 60) : 1 + int(nextRandom(seed) % 16);
        for (int i = 0; i < words; ++i) {
            if (i > 0)
                pool += ' ';
            pool += randomWord(seed);
        }
        pool += '\n';
    }
    return pool;
}

// The bench's folder: test files, and a home and configuration folder for the program.
class TestFiles {
public:
    TestFiles() : temp_(std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/bench_form1-XXXXXX")))
    {
        folder_ = temp_->path();
    }
    explicit TestFiles(const QString &existing) : folder_(existing) {}
    bool ok() const { return !temp_ || temp_->isValid(); }
    QString folder() const { return folder_; }
    QString filePath(const QString &name) const { return folder_ + QLatin1Char('/') + name; }

    // A file of mixed lines of about `bytes` bytes with FindWord in its last kilobytes.
    QString lines(qint64 bytes)
    {
        const QString name = QStringLiteral("lines-%1.txt").arg(bytes);
        return make(name, [&](QFile &f) {
            static const QByteArray pool = linePool();
            const QByteArray tail = "Near the end of the file, the word " + FindWord.toUtf8() + " appears once.\n";
            QByteArray chunk;
            qint64 written = 0;
            qsizetype at = 0; // where in the pool the next line starts
            const qint64 body = std::max<qint64>(0, bytes - tail.size() - 1024);
            while (written + chunk.size() < body) {
                if (at == 0 && body - written - chunk.size() > pool.size()) {
                    chunk += pool;
                } else {
                    const qsizetype end = pool.indexOf('\n', at) + 1;
                    chunk += pool.mid(at, end - at);
                    at = end == pool.size() ? 0 : end;
                }
                if (chunk.size() >= 8 * 1024 * 1024) {
                    written += f.write(chunk);
                    chunk.clear();
                }
            }
            chunk += tail;
            chunk += pool.left(pool.indexOf('\n', 1024) + 1); // about a kilobyte after the word
            f.write(chunk);
        });
    }

    // Lines of words of about `bytes` bytes, each about 100 bytes long and ending in NeedleWord:
    // one match per line.
    QString needles(qint64 bytes)
    {
        const QString name = QStringLiteral("needles-%1.txt").arg(bytes);
        return make(name, [&](QFile &f) {
            QByteArray chunk;
            quint32 seed = 11;
            qint64 written = 0;
            while (written + chunk.size() < bytes) {
                const qsizetype lineStart = chunk.size();
                while (chunk.size() - lineStart < 92) {
                    chunk += randomWord(seed);
                    chunk += ' ';
                }
                chunk += NeedleWord;
                chunk += '\n';
                if (chunk.size() >= 8 * 1024 * 1024) {
                    written += f.write(chunk);
                    chunk.clear();
                }
            }
            f.write(chunk);
        });
    }

    // One line of `bytes` bytes of words, without a line break.
    QString singleLine(qint64 bytes)
    {
        const QString name = QStringLiteral("line-%1.txt").arg(bytes);
        return make(name, [&](QFile &f) {
            QByteArray text;
            text.reserve(bytes + 64);
            quint32 seed = 7;
            while (text.size() < bytes - 256) {
                text += randomWord(seed);
                text += ' ';
            }
            text += FindWord.toUtf8();
            while (text.size() < bytes) {
                text += ' ';
                text += randomWord(seed);
            }
            f.write(text);
        });
    }

private:
    QString make(const QString &name, const std::function<void(QFile &)> &write)
    {
        const QString path = filePath(name);
        if (!QFileInfo::exists(path)) {
            QFile f(path);
            if (!f.open(QIODevice::WriteOnly)) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                std::exit(2);
            }
            write(f);
            std::printf("  (file %s: %.1f MB)\n", qPrintable(name), double(f.size()) / 1048576.0);
        }
        return path;
    }

    std::unique_ptr<QTemporaryDir> temp_;
    QString folder_;
};

// --- the program ---------------------------------------------------------------------------------

// Answers the program's boxes: scripted input, "No" to questions, no file picked; prints messages.
class BenchPrompts : public Prompts {
public:
    std::deque<QString> inputAnswers;
    QStringList messages;

    int msgBox(const QString &text, int style, const QString &) override
    {
        messages << text;
        std::printf("  (message box: %s)\n",
                    qPrintable(QString(text).replace(QLatin1String("\r\n"), QLatin1String(" / "))));
        return (style & 0x7) == MsgStyle::OkOnly ? MsgResult::Ok : MsgResult::No;
    }
    QString inputBox(const QString &, const QString &) override
    {
        if (inputAnswers.empty())
            return QString();
        const QString answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }
    QString showOpen(const QString &, const QString &) override { return QString(); }
    QString showSave(const QString &, const QString &) override { return QString(); }
    int popupMenu(const QStringList &, double, double) override { return -1; }
    int editorMenu(const std::vector<MenuEntry> &, double, double) override { return -1; }
    int choose(const QString &, const QStringList &, int, const QString &) override { return -1; }
};

// Counts the repaints a widget's viewport receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A fresh program, as started by main(): Form_Load has run, recording is on.
class Session {
public:
    Session()
    {
        app = std::make_unique<QtApplication>(&prompts);
        app->start();
        settle();
    }
    ~Session()
    {
        app.reset();
        releaseMemory();
    }
    Form1 &form() { return *app->form; }
    QtEditor &editor() { return static_cast<QtEditor &>(form().currentEditor()); }
    HistoryInfo history() const { return readHistory(app->undos); }

    // Open as the Open button does once its dialog returned the path, then the first paint.
    Figures open(const QString &path)
    {
        Meter m;
        m.start();
        form().OpenFile(path, false);
        settle();
        const Figures f = m.stop();
        counter_ = std::make_unique<PaintCounter>();
        editor().widget()->viewport()->installEventFilter(counter_.get());
        if (QApplication::focusWidget() != editor().widget())
            std::printf("  (warning: the editor does not have the keyboard focus)\n");
        return f;
    }
    int paints() const { return counter_ ? counter_->paints : 0; }

    BenchPrompts prompts;
    std::unique_ptr<QtApplication> app;

private:
    std::unique_ptr<PaintCounter> counter_;
};

// The yardstick: a plain QPlainTextEdit window, loaded as a simple editor loads a file.
class Yardstick {
public:
    Yardstick()
    {
        edit.resize(800, 600);
        edit.show();
        edit.activateWindow();
        edit.setFocus();
        edit.viewport()->installEventFilter(&counter);
        settle();
    }
    ~Yardstick() { edit.viewport()->removeEventFilter(&counter); }

    // Read, decode, setPlainText, first paint.
    Figures open(const QString &path)
    {
        Meter m;
        m.start();
        {
            QFile f(path);
            if (f.open(QIODevice::ReadOnly))
                edit.setPlainText(QString::fromUtf8(f.readAll()));
        }
        settle();
        return m.stop();
    }

    QPlainTextEdit edit;
    PaintCounter counter;
};

// --- keys and repeated steps ---------------------------------------------------------------------

void press(QWidget *w, int key, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString &text = QString())
{
    QKeyEvent down(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &down);
    QKeyEvent up(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &up);
}

// The i-th character of someone typing prose, with the key code a keyboard would report.
void typeKey(QWidget *w, int i)
{
    static const QString phrase = QStringLiteral("the quick brown fox jumps over the lazy dog, café über naïve ");
    const QChar c = phrase.at(i % phrase.size());
    int key = c.toUpper().unicode(); // Qt's key codes of Latin-1 letters are their capitals
    if (c == QLatin1Char(' '))
        key = Qt::Key_Space;
    press(w, key, Qt::NoModifier, QString(c));
}

struct Caps {
    int keys = 1000;
    double seconds = 30;
    long rssKb = 4096L * 1024;
};

struct Run {
    std::vector<double> ms, cpuMs; // per step
    QString stopped;               // why it ended early, or empty
    Figures figures;
    int steps() const { return static_cast<int>(ms.size()); }
};

// Repeats a step (a key with its repaint, an Undo, ...) up to the caps.
Run repeat(int count, const Caps &caps, const std::function<void(int)> &step)
{
    Run r;
    r.ms.reserve(count);
    r.cpuMs.reserve(count);
    Meter m;
    m.start();
    const double start = wallNow();
    for (int i = 0; i < count; ++i) {
        const double t = wallNow();
        const double c = cpuNow();
        step(i);
        r.ms.push_back((wallNow() - t) * 1e3);
        r.cpuMs.push_back((cpuNow() - c) * 1e3);
        if (i + 1 == count)
            break;
        const QString of = QStringLiteral("stopped after %1 of %2: ").arg(i + 1).arg(count);
        if (wallNow() - start > caps.seconds) {
            r.stopped = of + QStringLiteral("time past %1 s").arg(caps.seconds);
            break;
        }
        if (rssKb() > caps.rssKb) {
            r.stopped = of + QStringLiteral("resident memory past %1 MB").arg(caps.rssKb / 1024);
            break;
        }
    }
    r.figures = m.stop();
    return r;
}

// Each key as a user's: press and release to the widget, then the event loop's round (the
// change notification and the recording run inside the press, the repaint in the round).
Run typeKeys(QWidget *w, const Caps &caps, int count)
{
    return repeat(count, caps, [&](int i) {
        typeKey(w, i);
        QCoreApplication::processEvents();
    });
}

void printRun(const char *who, const QString &what, const Run &r)
{
    printFigures(who, what, r.figures);
    std::printf("  %-14s %-26s per step: wall median %.3f ms, p90 %.3f ms, max %.3f ms; cpu median %.3f ms, "
                "p90 %.3f ms\n",
                "", qPrintable(QStringLiteral("(%1 steps)").arg(r.steps())), percentile(r.ms, 0.5),
                percentile(r.ms, 0.9), r.ms.empty() ? 0 : *std::max_element(r.ms.begin(), r.ms.end()),
                percentile(r.cpuMs, 0.5), percentile(r.cpuMs, 0.9));
    if (!r.stopped.isEmpty())
        std::printf("  %-14s %s\n", "", qPrintable(r.stopped));
}

// --- scenarios -----------------------------------------------------------------------------------

struct Options {
    bool big = false;
    bool yardstick = true;
    bool a11y = false;
    bool wordWrap = false;
    Caps caps;
};

struct Scenario {
    const char *name;
    const char *what; // {keys} stands for the number of keys
    qint64 bytes;     // of its file
    bool singleLine;  // the file is one line
    bool yardstick;   // a QPlainTextEdit does the same
};

const Scenario Scenarios[] = {
    {"open-1mb", "open a 1 MB file (read, decode, line breaks, load, first paint)", 1LL << 20, false, true},
    {"open-100mb", "open a 100 MB file (read, decode, line breaks, load, first paint)", 100LL << 20, false, true},
    {"open-1gb", "open a 1 GB file (no yardstick: a QPlainTextEdit would need about 10 GB)", 1LL << 30, false, false},
    {"typing-end", "{keys} keys at the end of a 100 MB file", 100LL << 20, false, true},
    {"typing-middle", "{keys} keys in the middle of a 100 MB file", 100LL << 20, false, true},
    {"typing-status", "{keys} keys at the end of a 100 MB file, the status line shown", 100LL << 20, false, false},
    {"typing-line", "{keys} keys at the end of a 5 MB single line", 5LL << 20, true, true},
    {"history", "{keys} keys at the end of a 1 MB file", 1LL << 20, false, false},
    {"undo-redo", "{keys} keys at the end of a 100 MB file, then as many Undo, then as many Redo", 100LL << 20, false,
     false},
    {"find", "Find of a word near the end of a 100 MB file", 100LL << 20, false, false},
    {"find-options", "Find Next with Match case, Whole word and regular expressions over a 100 MB file", 100LL << 20,
     false, false},
    {"replace-all", "Replace All of about 1,000,000 matches in a 100 MB file, then Undo and Redo", 100LL << 20, false,
     false},
    {"save", "Save of an opened 100 MB file", 100LL << 20, false, false},
};

// The Replace dialog with its fields filled in by the bench.
class BenchReplaceDialog : public ReplaceDialog {
public:
    ReplaceFields values;
    QString shown;
    void showWith(const QString &findWhat) override { values.findWhat = findWhat; }
    ReplaceFields fields() const override { return values; }
    void setStatus(const QString &text) override { shown = text; }
    QString status() const override { return shown; }
};

const Scenario *scenarioNamed(const QString &name)
{
    for (const Scenario &s : Scenarios) {
        if (name == QLatin1String(s.name))
            return &s;
    }
    return nullptr;
}

enum class Part { Program, Yardstick };

class Bench {
public:
    Bench(const Options &o, TestFiles &f) : opt(o), files(f) {}

    int keysOf(const Scenario &sc) const
    {
        return qstrcmp(sc.name, "history") == 0 ? opt.caps.keys * 10 : opt.caps.keys;
    }
    QString describe(const Scenario &sc) const
    {
        return QString::fromUtf8(sc.what).replace(QLatin1String("{keys}"), QString::number(keysOf(sc)));
    }
    QString fileOf(const Scenario &sc) { return sc.singleLine ? files.singleLine(sc.bytes) : files.lines(sc.bytes); }

    void run(const Scenario &sc, Part part)
    {
        const QString name = QString::fromLatin1(sc.name);
        if (name.startsWith(QLatin1String("open-")))
            open(sc, part);
        else if (name == QLatin1String("typing-middle"))
            typing(sc, part, Where::Middle, Kind::Typing);
        else if (name.startsWith(QLatin1String("typing-")))
            typing(sc, part, Where::End, Kind::Typing);
        else if (name == QLatin1String("history"))
            typing(sc, part, Where::End, Kind::History);
        else if (name == QLatin1String("undo-redo"))
            undoRedo(sc);
        else if (name == QLatin1String("find"))
            find(sc);
        else if (name == QLatin1String("find-options"))
            findOptions(sc);
        else if (name == QLatin1String("replace-all"))
            replaceAll(sc);
        else if (name == QLatin1String("save"))
            save(sc);
    }

    int failures = 0;

private:
    void check(bool ok, const QString &what)
    {
        if (!ok) {
            std::printf("  CHECK FAILED: %s\n", qPrintable(what));
            ++failures;
        }
    }

    void open(const Scenario &sc, Part part)
    {
        const QString name = QString::fromLatin1(sc.name);
        const QString path = fileOf(sc);
        if (part == Part::Yardstick) {
            Yardstick y;
            printFigures("QPlainTextEdit", QStringLiteral("open"), y.open(path));
            return;
        }
        Session s;
        const Figures f = s.open(path);
        printFigures("Marquill", QStringLiteral("open"), f);
        check(s.editor().textLength() > 0 && s.prompts.messages.isEmpty(), QStringLiteral("the file was opened"));
        // A small file's figures are the program's own fixed costs; the budgets speak of large files.
        if (sc.bytes < 100LL << 20)
            return;
        const double fileMb = double(QFileInfo(path).size()) / 1048576.0;
        budget(name, QStringLiteral("open, wall"), f.wall, sc.bytes >= 1LL << 30 ? 4.0 : 0.4, "s", cpuNote(f));
        budget(name, QStringLiteral("resident growth / file size"), mb(f.rssAfter - f.rssBefore) / fileMb, 1.5, "x");
        budget(name, QStringLiteral("peak growth / file size"), mb(f.peak - f.rssBefore) / fileMb, 2.0, "x");
        if (sc.bytes >= 1LL << 30)
            budget(name, QStringLiteral("resident after open"), mb(f.rssAfter), 2048, "MB");
    }

    enum class Where { End, Middle };
    enum class Kind { Typing, History }; // which budgets the scenario answers to

    // Places the caret as a user would: Ctrl+End, or somewhere in the middle of the text.
    static void placeCaret(QWidget *w, Where where, const std::function<void()> &middle)
    {
        if (where == Where::End)
            press(w, Qt::Key_End, Qt::ControlModifier);
        else
            middle();
        settle();
    }

    // Keys into a document opened from the scenario's file, with recording on.
    void typing(const Scenario &sc, Part part, Where where, Kind kind)
    {
        const QString name = QString::fromLatin1(sc.name);
        const QString path = fileOf(sc);
        const int keys = keysOf(sc);
        if (part == Part::Yardstick) {
            Yardstick y;
            printFigures("QPlainTextEdit", QStringLiteral("open"), y.open(path));
            placeCaret(&y.edit, where, [&] {
                QTextCursor c = y.edit.textCursor();
                c.setPosition(y.edit.document()->characterCount() / 2);
                y.edit.setTextCursor(c);
            });
            const int paints = y.counter.paints;
            const long rss = rssKb();
            const Run r = typeKeys(&y.edit, opt.caps, keys);
            printRun("QPlainTextEdit", QStringLiteral("%1 keys").arg(keys), r);
            std::printf("  %-14s repaints %d; resident growth %.1f MB\n", "", y.counter.paints - paints,
                        mb(r.figures.rssAfter - rss));
            return;
        }
        Session s;
        if (opt.wordWrap)
            s.form().setWordWrap(true);
        printFigures("Marquill", QStringLiteral("open"), s.open(path));
        QtEditor &e = s.editor();
        if (opt.a11y) {
            // A screen reader's first question after the file is opened.
            const double asking = wallNow();
            QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(e.widget());
            const int count = iface && iface->textInterface() ? iface->textInterface()->characterCount() : -1;
            std::printf("  %-14s accessible characters (%d) counted in %.3f s\n", "", count, wallNow() - asking);
        }
        const bool status = name == QLatin1String("typing-status");
        if (status)
            s.form().setStatusLineShown(true);
        const double placing = wallNow();
        placeCaret(e.widget(), where, [&] { e.setSelStart(e.textLength() / 2); });
        std::printf("  %-14s caret placed in %.3f s\n", "", wallNow() - placing);
        {
            // An idle window with the caret blinking on this line: what it costs per second.
            const int idlePaints = s.paints();
            const double wall0 = wallNow(), cpu0 = cpuNow();
            QEventLoop idleLoop;
            QTimer::singleShot(3000, &idleLoop, &QEventLoop::quit);
            idleLoop.exec();
            const double idle = (cpuNow() - cpu0) / (wallNow() - wall0) * 100.0;
            std::printf("  %-14s idle 3 s: %.1f%% of a CPU, %d repaints\n", "", idle, s.paints() - idlePaints);
            budget(name, QStringLiteral("idle with the caret here, CPU"), idle, 1.0, "%", QString());
        }
        const int length = e.textLength();
        const int paints = s.paints();
        const HistoryInfo before = s.history();
        releaseMemory();
        const long rssBefore = rssKb();
        const Run r = typeKeys(e.widget(), opt.caps, keys);
        const HistoryInfo after = s.history();
        printRun("Marquill", QStringLiteral("%1 keys").arg(keys), r);
        const int typed = r.steps();
        std::printf("  %-14s repaints %d; history %lld records", "", s.paints() - paints, after.records);
        if (after.bytes >= 0)
            std::printf(", %.1f MB held", double(after.bytes) / 1048576.0);
        std::printf("; resident growth %.1f MB\n", mb(r.figures.rssAfter - rssBefore));
        check(e.textLength() == length + typed, QStringLiteral("every key reached the text"));
        if (after.records >= 0)
            check(after.records == typed + 1, QStringLiteral("one record per key, after the base"));
        check(s.prompts.messages.isEmpty(), QStringLiteral("no message box"));

        if (kind == Kind::Typing)
            budget(name, QStringLiteral("typing, median per key"), percentile(r.ms, 0.5), 1.0, "ms",
                   QStringLiteral("cpu median %1 ms").arg(percentile(r.cpuMs, 0.5), 0, 'f', 3));
        if (status) {
            // Each key's turn of the event loop wrote the status line once; here its update
            // alone, at the caret where the keys left it.
            const QString shown = s.app->window.findChild<QLabel *>(QStringLiteral("statusLine"))->text();
            check(shown.startsWith(QStringLiteral("Ln ")), QStringLiteral("the status line shows the caret's place"));
            // The caret steps back and forth, so that each update counts and writes a new text.
            const int updates = 2000, end = e.textLength();
            const double cpu0 = cpuNow();
            for (int i = 0; i < updates; ++i) {
                e.setSelStart(end - i % 2);
                s.form().updateStatusLine();
            }
            const double perUpdate = (cpuNow() - cpu0) * 1000.0 / updates;
            std::printf("  %-14s status line \"%s\": %.4f ms an update\n", "", qPrintable(shown), perUpdate);
            budget(name, QStringLiteral("status line update per key"), perUpdate, 0.05, "ms", QString());
            // The whole text selected (Select All), then its end moved back and forth as
            // Shift+Left and Shift+Right move it: the first count reads the selection, later ones
            // only the stretch that the end moved over.
            e.setSelStart(0);
            const double whole0 = cpuNow();
            e.setSelLength(end);
            s.form().updateStatusLine();
            const double whole = (cpuNow() - whole0) * 1000.0;
            const int moves = 200;
            const double moves0 = cpuNow();
            for (int i = 1; i <= moves; ++i) {
                e.setSelStart(0);
                e.setSelLength(end - i % 2);
                s.form().updateStatusLine();
            }
            const double perMove = (cpuNow() - moves0) * 1000.0 / moves;
            std::printf("  %-14s whole text selected: %.1f ms for the first count, %.4f ms an end move\n", "", whole,
                        perMove);
            s.form().setStatusLineShown(false);
        }
        // What the records hold where the lists can be read; otherwise what the process grew by.
        const bool counted = after.bytes >= 0;
        const double perKey = counted ? double(after.bytes - std::max(0LL, before.bytes)) / typed
                                      : double(r.figures.rssAfter - rssBefore) * 1024.0 / typed;
        budget(name, QStringLiteral("history for 10,000 keys"), perKey * 10000 / 1048576.0, 16, "MB",
               QStringLiteral("%1%2")
                   .arg(counted ? QStringLiteral("texts the records hold") : QStringLiteral("resident growth"))
                   .arg(typed != 10000 ? QStringLiteral(", scaled from %1 keys").arg(typed) : QString()));
    }

    void undoRedo(const Scenario &sc)
    {
        Session s;
        printFigures("Marquill", QStringLiteral("open"), s.open(fileOf(sc)));
        QtEditor &e = s.editor();
        placeCaret(e.widget(), Where::End, {});
        const int length = e.textLength();
        // Half the memory cap for the keys leaves room for the steps back and forth.
        Caps typingCaps = opt.caps;
        typingCaps.rssKb = opt.caps.rssKb / 2;
        const Run typing = typeKeys(e.widget(), typingCaps, opt.caps.keys);
        printRun("Marquill", QStringLiteral("typing first"), typing);
        const int typed = typing.steps();
        const Run undos = repeat(typed, opt.caps, [&](int) {
            s.form().PushButton6_Click();
            QCoreApplication::processEvents();
        });
        printRun("Marquill", QStringLiteral("%1 x Undo").arg(typed), undos);
        const int undone = undos.steps();
        check(e.textLength() == length + typed - undone, QStringLiteral("each Undo took back one key"));
        const Run redos = repeat(undone, opt.caps, [&](int) {
            s.form().PushButton9_Click();
            QCoreApplication::processEvents();
        });
        printRun("Marquill", QStringLiteral("%1 x Redo").arg(undone), redos);
        check(e.textLength() == length + typed - undone + redos.steps(),
              QStringLiteral("each Redo brought one key back"));
        const HistoryInfo h = s.history();
        std::printf("  %-14s history %lld records", "", h.records);
        if (h.bytes >= 0)
            std::printf(", %.1f MB held", double(h.bytes) / 1048576.0);
        std::printf("\n");
        if (h.records >= 0)
            check(h.records == typed + 1, QStringLiteral("Undo and Redo keep every record"));
        check(s.prompts.messages.isEmpty(), QStringLiteral("no message box"));
    }

    void find(const Scenario &sc)
    {
        Session s;
        printFigures("Marquill", QStringLiteral("open"), s.open(fileOf(sc)));
        s.prompts.inputAnswers.push_back(FindWord);
        Meter m;
        m.start();
        s.form().PushButton3_Click();
        settle();
        const Figures f = m.stop();
        printFigures("Marquill", QStringLiteral("Find"), f);
        QtEditor &e = s.editor();
        check(e.selText() == FindWord && e.selStart() > e.textLength() - 4096,
              QStringLiteral("the word near the end is selected"));
        budget(QString::fromLatin1(sc.name), QStringLiteral("Find, wall"), f.wall, 0.15, "s", cpuNote(f));
    }

    // The Replace dialog's Find Next from the start of the text, as its button runs it.
    void findOptions(const Scenario &sc)
    {
        Session s;
        printFigures("Marquill", QStringLiteral("open"), s.open(fileOf(sc)));
        BenchReplaceDialog dialog;
        s.form().replaceDialog = &dialog;
        QtEditor &e = s.editor();
        struct Search {
            const char *what;
            ReplaceFields fields;
            double limit;
        };
        const Search searches[] = {
            {"Match case", {FindWord, QString(), true, false, false}, 0.15},
            {"Whole word", {FindWord, QString(), false, true, false}, 0.15},
            {"Match case + Whole word", {FindWord, QString(), true, true, false}, 0.15},
            {"regex Xylo\\w+ik", {QStringLiteral("Xylo\\w+ik"), QString(), false, false, true}, 2.0},
            {"regex ^Near.*word", {QStringLiteral("^Near.*word"), QString(), true, false, true}, 2.0},
            // No literal to start from: every word character is a place to try.
            {"regex \\w+phonistik", {QStringLiteral("\\w+phonistik"), QString(), false, false, true}, 2.0},
        };
        for (const Search &search : searches) {
            e.setSelStart(0);
            dialog.values = search.fields;
            releaseMemory();
            Meter m;
            m.start();
            s.form().replaceFindNext();
            settle();
            const Figures f = m.stop();
            printFigures("Marquill", QString::fromLatin1(search.what), f);
            check(e.selStart() > e.textLength() - 4096 && e.selLength() > 0,
                  QStringLiteral("%1: the word near the end is selected").arg(QString::fromLatin1(search.what)));
            budget(QString::fromLatin1(sc.name), QString::fromLatin1(search.what) + QStringLiteral(", wall"), f.wall,
                   search.limit, "s", cpuNote(f));
            budget(QString::fromLatin1(sc.name), QString::fromLatin1(search.what) + QStringLiteral(", peak growth"),
                   mb(f.peak - f.rssBefore), 16, "MB", QStringLiteral("no UTF-16 copy of the text"));
        }
        check(s.prompts.messages.isEmpty(), QStringLiteral("no message box"));
    }

    // Replace All through the dialog's button, then Undo and Redo through theirs.
    void replaceAll(const Scenario &sc)
    {
        const QString path = files.needles(sc.bytes);
        Session s;
        printFigures("Marquill", QStringLiteral("open"), s.open(path));
        BenchReplaceDialog dialog;
        s.form().replaceDialog = &dialog;
        QtEditor &e = s.editor();
        const auto textHash = [&] {
            QCryptographicHash h(QCryptographicHash::Sha1);
            e.readUtf8([&](QByteArrayView block) { h.addData(block); });
            return h.result();
        };
        const QByteArray original = textHash();
        dialog.values = ReplaceFields{QString::fromLatin1(NeedleWord), QStringLiteral("pin"), true, false, false};
        releaseMemory();
        Meter m;
        m.start();
        s.form().replaceAll();
        settle();
        Figures f = m.stop();
        releaseMemory();
        f.rssAfter = rssKb();
        printFigures("Marquill", QStringLiteral("Replace All"), f);
        std::printf("  %-14s %s\n", "", qPrintable(dialog.shown));
        const UndoElement &record = s.app->undos.Undos.back();
        const qint64 count = record.pieces ? record.pieces->count() : 0;
        const double held = record.pieces ? double(record.pieces->bytesHeld()) / 1048576.0 : 0;
        std::printf("  %-14s %lld pieces; the record holds %.1f MB\n", "", count, held);
        check(count >= 1000000, QStringLiteral("a million matches replaced"));
        check(dialog.shown == QStringLiteral("Replaced %1 matches.").arg(count), QStringLiteral("the count is shown"));
        const QByteArray replaced = textHash();
        budget(QString::fromLatin1(sc.name), QStringLiteral("Replace All, wall"), f.wall, 2.0, "s", cpuNote(f));
        budget(QString::fromLatin1(sc.name), QStringLiteral("Replace All, resident growth / change"),
               mb(f.rssAfter - f.rssBefore) / std::max(held, 0.001), 1.1, "x",
               QStringLiteral("growth %1 MB").arg(mb(f.rssAfter - f.rssBefore), 0, 'f', 1));
        std::printf("  %-14s peak growth during Replace All %.0f MB\n", "", mb(f.peak - f.rssBefore));

        m.start();
        s.form().PushButton6_Click();
        settle();
        const Figures u = m.stop();
        printFigures("Marquill", QStringLiteral("Undo"), u);
        check(textHash() == original, QStringLiteral("Undo gave back the text byte for byte"));
        budget(QString::fromLatin1(sc.name), QStringLiteral("Undo of Replace All, wall"), u.wall, 2.0, "s", cpuNote(u));
        m.start();
        s.form().PushButton9_Click();
        settle();
        const Figures r = m.stop();
        printFigures("Marquill", QStringLiteral("Redo"), r);
        check(textHash() == replaced, QStringLiteral("Redo replaced again"));
        check(s.prompts.messages.isEmpty(), QStringLiteral("no message box"));
    }

    void save(const Scenario &sc)
    {
        const QString path = fileOf(sc);
        const QByteArray hash = fileHash(path);
        Figures f;
        {
            Session s;
            printFigures("Marquill", QStringLiteral("open"), s.open(path));
            Meter m;
            m.start();
            s.form().PushButton7_Click();
            settle();
            f = m.stop();
            printFigures("Marquill", QStringLiteral("Save"), f);
            check(s.prompts.messages.isEmpty(), QStringLiteral("no message box"));
        }
        check(fileHash(path) == hash, QStringLiteral("the saved file is byte for byte the one opened"));
        budget(QString::fromLatin1(sc.name), QStringLiteral("Save, wall"), f.wall, 0.4, "s", cpuNote(f));
    }

    static QByteArray fileHash(const QString &path)
    {
        QFile f(path);
        QCryptographicHash h(QCryptographicHash::Sha1);
        if (f.open(QIODevice::ReadOnly))
            h.addData(&f);
        return h.result();
    }

    Options opt;
    TestFiles &files;
};

// --- the driver ----------------------------------------------------------------------------------

// Runs this program again with `args`; returns its exit status, or minus the signal that ended it.
int runChild(const QStringList &args)
{
    std::fflush(stdout);
    std::vector<QByteArray> bytes{QByteArray("/proc/self/exe")};
    for (const QString &a : args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), environ) != 0)
        return -1000;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

void usage()
{
    QStringList names;
    for (const Scenario &s : Scenarios)
        names << QString::fromLatin1(s.name);
    std::printf("usage: QT_QPA_PLATFORM=offscreen bench_form1 [--big] [--no-yardstick] [--word-wrap] [--keys N]\n"
                "                   [--max-seconds S] [--max-rss-mb M] [--a11y] [scenario|group ...]\n"
                "scenarios: %s\ngroups: open, typing, all (open-1gb only with --big or by its name)\n"
                "--keys: keys per typing run (history types ten times as many); the caps end a run of keys\n"
                "or steps early: after S seconds (default 30) or past M MB resident (default 4096)\n",
                qPrintable(names.join(QLatin1Char(' '))));
}

QString procField(const char *file, const QString &prefix)
{
    QFile f(QString::fromLatin1(file));
    if (f.open(QIODevice::ReadOnly)) {
        for (const QString &line : QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'))) {
            if (line.startsWith(prefix))
                return line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
        }
    }
    return QString();
}

// One part of one scenario, in this process.
int runPart(int argc, char **argv, const Options &opt, const QString &scenario, const QString &part,
            const QString &folder)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // lines survive a crash
    const Scenario *sc = scenarioNamed(scenario);
    if (!sc)
        return 2;
    if (opt.a11y) // the desktop's bridge turns accessibility on as a screen reader would
        qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Marquill"));
    QApplication::setQuitOnLastWindowClosed(false);
    static long events = 0;
    if (opt.a11y) {
        // What the bridge does with each event: reads its text, or asks for the caret.
        QAccessible::installUpdateHandler([](QAccessibleEvent *event) {
            ++events;
            qsizetype seen = 0;
            if (event->type() == QAccessible::TextInserted)
                seen = static_cast<QAccessibleTextInsertEvent *>(event)->textInserted().size();
            else if (event->type() == QAccessible::TextRemoved)
                seen = static_cast<QAccessibleTextRemoveEvent *>(event)->textRemoved().size();
            else if (event->type() == QAccessible::TextUpdated)
                seen = static_cast<QAccessibleTextUpdateEvent *>(event)->textInserted().size();
            else if (event->type() == QAccessible::TextCaretMoved) {
                QAccessibleInterface *iface = event->accessibleInterface();
                if (iface && iface->textInterface())
                    seen = iface->textInterface()->cursorPosition();
            }
            static volatile qsizetype sink = 0;
            sink = sink + seen;
        });
    }
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        std::printf("  (the Qt platform is %s, not offscreen)\n", qPrintable(QGuiApplication::platformName()));
    TestFiles files(folder);
    budgetFile = files.filePath(QStringLiteral("budgets.txt"));
    // Drafts and records of saves go to a folder of this part's own: never the user's, and no
    // part finds another's drafts and asks to restore them.
    qputenv("XDG_STATE_HOME", files.filePath(QStringLiteral("state-%1-%2").arg(scenario, part)).toLocal8Bit());
    Bench bench(opt, files);
    bench.run(*sc, part == QLatin1String("yardstick") ? Part::Yardstick : Part::Program);
    if (opt.a11y)
        std::printf("  %-14s accessibility %s; events delivered: %ld\n", "",
                    QAccessible::isActive() ? "active" : "NOT ACTIVE", events);
    return bench.failures ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    Options opt;
    QStringList wanted;
    QString childScenario, childPart, childFolder;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        const auto value = [&]() -> QString {
            if (i + 1 >= argc) {
                usage();
                std::exit(2);
            }
            return QString::fromLocal8Bit(argv[++i]);
        };
        if (a == QLatin1String("--big"))
            opt.big = true;
        else if (a == QLatin1String("--no-yardstick"))
            opt.yardstick = false;
        else if (a == QLatin1String("--a11y"))
            opt.a11y = true;
        else if (a == QLatin1String("--word-wrap"))
            opt.wordWrap = true;
        else if (a == QLatin1String("--keys"))
            opt.caps.keys = std::max(1, value().toInt());
        else if (a == QLatin1String("--max-seconds"))
            opt.caps.seconds = value().toDouble();
        else if (a == QLatin1String("--max-rss-mb"))
            opt.caps.rssKb = static_cast<long>(value().toDouble() * 1024);
        else if (a == QLatin1String("--child")) // internal: one part of one scenario
            childScenario = value();
        else if (a == QLatin1String("--part"))
            childPart = value();
        else if (a == QLatin1String("--folder"))
            childFolder = value();
        else if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return usage(), 0;
        else if (a == QLatin1String("open"))
            wanted << QStringLiteral("open-1mb") << QStringLiteral("open-100mb") << QStringLiteral("open-1gb?");
        else if (a == QLatin1String("typing"))
            wanted << QStringLiteral("typing-end") << QStringLiteral("typing-middle") << QStringLiteral("typing-status")
                   << QStringLiteral("typing-line");
        else if (a == QLatin1String("all")) {
            for (const Scenario &s : Scenarios)
                wanted << QString::fromLatin1(s.name) + QLatin1Char('?');
        } else if (scenarioNamed(a)) {
            wanted << a; // named: runs even without --big
        } else {
            return usage(), 2;
        }
    }
    if (!childScenario.isEmpty())
        return runPart(argc, argv, opt, childScenario, childPart, childFolder);
    if (wanted.isEmpty()) {
        for (const Scenario &s : Scenarios)
            wanted << QString::fromLatin1(s.name) + QLatin1Char('?');
    }

    // The program's settings and recent files go to folders of the bench's own.
    TestFiles files;
    if (!files.ok() || !resetPeak()) {
        std::fprintf(stderr, "bench_form1 needs a writable temporary folder and /proc/self/clear_refs\n");
        return 2;
    }
    QDir(files.folder()).mkpath(QStringLiteral("home"));
    QDir(files.folder()).mkpath(QStringLiteral("config"));
    qputenv("HOME", files.filePath(QStringLiteral("home")).toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", files.filePath(QStringLiteral("config")).toLocal8Bit());
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (!qEnvironmentVariableIsSet("XDG_RUNTIME_DIR")) { // else Qt warns in every part
        QDir(files.folder()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(files.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", files.filePath(QStringLiteral("runtime")).toLocal8Bit());
    }

    std::printf("bench_form1: the real Form1 and its Qt platform, QT_QPA_PLATFORM=%s; Qt %s; %s\n",
                qgetenv("QT_QPA_PLATFORM").constData(), qVersion(), qPrintable(QSysInfo::prettyProductName()));
    std::printf("machine: %s, %ld cores, %s memory; kernel %s\n",
                qPrintable(procField("/proc/cpuinfo", QStringLiteral("model name"))), sysconf(_SC_NPROCESSORS_ONLN),
                qPrintable(procField("/proc/meminfo", QStringLiteral("MemTotal"))),
                qPrintable(QSysInfo::kernelVersion()));
    std::printf("caps on each run of keys or steps: %d steps, %g s, %ld MB resident; yardstick %s; word wrap %s\n",
                opt.caps.keys, opt.caps.seconds, opt.caps.rssKb / 1024, opt.yardstick ? "on" : "off",
                opt.wordWrap ? "on" : "off");
    std::printf("each part runs in a fresh process; RSS: resident after; peak: VmHWM during; (+n): growth in it\n");

    QStringList forwarded = {QStringLiteral("--keys"),        QString::number(opt.caps.keys),
                             QStringLiteral("--max-seconds"), QString::number(opt.caps.seconds),
                             QStringLiteral("--max-rss-mb"),  QString::number(opt.caps.rssKb / 1024),
                             QStringLiteral("--folder"),      files.folder()};
    if (opt.a11y)
        forwarded << QStringLiteral("--a11y");
    if (opt.wordWrap)
        forwarded << QStringLiteral("--word-wrap");
    Bench bench(opt, files);
    QStringList done;
    int failed = 0;
    for (QString name : wanted) {
        // "?": part of a group, so the 1 GB file only with --big.
        if (name.endsWith(QLatin1Char('?'))) {
            name.chop(1);
            if (name == QLatin1String("open-1gb") && !opt.big)
                continue;
        }
        if (done.contains(name))
            continue;
        done << name;
        const Scenario &sc = *scenarioNamed(name);
        std::printf("\n== %s: %s ==\n", sc.name, qPrintable(bench.describe(sc)));
        bench.fileOf(sc);
        QStringList parts{QStringLiteral("program")};
        if (sc.yardstick && opt.yardstick)
            parts << QStringLiteral("yardstick");
        for (const QString &part : parts) {
            const int status =
                runChild(QStringList{QStringLiteral("--child"), name, QStringLiteral("--part"), part} + forwarded);
            if (status != 0) {
                ++failed;
                if (status < 0)
                    std::printf("  (the %s's process ended by signal %d)\n", qPrintable(part), -status);
            }
        }
    }

    std::printf("\n== budgets ==\n");
    QFile summary(files.filePath(QStringLiteral("budgets.txt")));
    if (summary.open(QIODevice::ReadOnly))
        std::printf("%s", summary.readAll().replace("\n", "\n  ").prepend("  ").chopped(2).constData());
    if (failed)
        std::printf("\n%d part(s) failed a check or ended early: the figures above may not mean what they say\n",
                    failed);
    return failed ? 1 : 0;
}
