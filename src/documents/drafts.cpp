#include "documents/drafts.h"

#include "platform/files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>

namespace {

const QByteArray Magic = QByteArrayLiteral("Marquill draft 1");

const char *encodingName(TextEncoding e)
{
    switch (e) {
    case TextEncoding::Utf8: return "utf-8";
    case TextEncoding::Utf8Bom: return "utf-8-bom";
    case TextEncoding::Utf16LE: return "utf-16le";
    case TextEncoding::Utf16BE: return "utf-16be";
    case TextEncoding::CodePage: return "codepage";
    }
    return "utf-8";
}

const char *lineBreakName(LineBreaks b)
{
    switch (b) {
    case LineBreaks::CRLF: return "crlf";
    case LineBreaks::LF: return "lf";
    case LineBreaks::AsIs: return "as-is";
    }
    return "lf";
}

} // namespace

QByteArray draftHeader(const Draft &draft)
{
    // The path is percent-encoded: a file name may hold a line break.
    QByteArray out = Magic + '\n';
    out += "path=" + nameBytes(draft.path).toPercentEncoding("/") + '\n'; // its own bytes, also those no UTF-8
    out += QByteArray("encoding=") + encodingName(draft.format.encoding) + '\n';
    out += QByteArray("lineBreaks=") + lineBreakName(draft.format.lineBreaks) + '\n';
    out += "file=" + stampToText(draft.file).toLatin1() + '\n';
    out += '\n';
    return out;
}

std::optional<Draft> parseDraft(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0 || !bytes.startsWith(Magic + '\n'))
        return std::nullopt;
    Draft d;
    QString stamp;
    bool encodingOk = false, breaksOk = false;
    for (const QByteArray &line : bytes.left(end).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1);
        if (key == "path")
            d.path = nameFromBytes(QByteArray::fromPercentEncoding(value));
        else if (key == "file")
            stamp = QString::fromLatin1(value);
        else if (key == "encoding") {
            for (auto e : {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16LE, TextEncoding::Utf16BE,
                           TextEncoding::CodePage}) {
                if (value == encodingName(e)) {
                    d.format.encoding = e;
                    encodingOk = true;
                }
            }
        } else if (key == "lineBreaks") {
            for (auto b : {LineBreaks::CRLF, LineBreaks::LF, LineBreaks::AsIs}) {
                if (value == lineBreakName(b)) {
                    d.format.lineBreaks = b;
                    breaksOk = true;
                }
            }
        }
    }
    if (!encodingOk || !breaksOk)
        return std::nullopt;
    d.file = stampFromText(d.path, stamp);
    d.text = bytes.mid(end + 2);
    return d;
}

QString draftsRoot()
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/marquill/drafts");
}

DraftStore::DraftStore(const QString &root) : root_(root)
{
    // Unique also when a crashed run had the same process id.
    session_ = root_ + QLatin1Char('/') + QString::number(QCoreApplication::applicationPid()) + QLatin1Char('-') +
               QString::number(QDateTime::currentMSecsSinceEpoch());
}

DraftStore::~DraftStore()
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
    // Unlocking leaves the folder: to the next start this run did not end normally.
    lock_.reset();
    claimed_.clear();
}

void DraftStore::push(Job job)
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        if (job.kind == Job::Write || job.kind == Job::Remove) {
            // The newest word on a draft is the only one that counts; the order of the rest stays.
            for (auto it = jobs_.begin(); it != jobs_.end();) {
                if ((it->kind == Job::Write || it->kind == Job::Remove) && it->index == job.index)
                    it = jobs_.erase(it);
                else
                    ++it;
            }
        }
        jobs_.push_back(std::move(job));
        if (!worker_.joinable())
            worker_ = std::thread([this] { run(); });
    }
    wake_.notify_all();
}

void DraftStore::write(int index, const QByteArray &header, const QByteArray &text)
{
    push(Job{Job::Write, index, header, text, {}, {}});
}

void DraftStore::remove(int index)
{
    push(Job{Job::Remove, index, {}, {}, {}, {}});
}

void DraftStore::removeAll()
{
    push(Job{Job::RemoveAll, 0, {}, {}, {}, {}});
}

void DraftStore::end()
{
    push(Job{Job::End, 0, {}, {}, {}, {}});
    waitIdle();
}

void DraftStore::waitIdle()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

bool DraftStore::idle()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return jobs_.empty() && !busy_;
}

void DraftStore::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !jobs_.empty(); });
        if (jobs_.empty()) {
            if (stop_)
                return;
            continue;
        }
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        busy_ = true;
        lock.unlock();
        perform(job);
        lock.lock();
        busy_ = false;
        if (jobs_.empty())
            idle_.notify_all();
    }
}

bool DraftStore::openSession(QString &error)
{
    if (lock_)
        return true;
    // The lock first: a folder never exists without it while its run lives.
    if (!QDir().mkpath(root_)) {
        error = QStringLiteral("the folder %1 cannot be made").arg(root_);
        return false;
    }
    auto lock = std::make_unique<QLockFile>(session_ + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        error = QStringLiteral("%1 cannot be written").arg(root_);
        return false;
    }
    if (!QDir().mkpath(session_)) {
        error = QStringLiteral("the folder %1 cannot be made").arg(session_);
        return false;
    }
    lock_ = std::move(lock);
    return true;
}

QString DraftStore::fileOf(int index) const
{
    return session_ + QStringLiteral("/%1.draft").arg(index);
}

void DraftStore::perform(Job &job)
{
    switch (job.kind) {
    case Job::Write: {
        QString error;
        if (!openSession(error)) {
            fail(error);
            return;
        }
        QSaveFile f(fileOf(job.index));
        if (!f.open(QIODevice::WriteOnly) || f.write(job.header) != job.header.size() ||
            f.write(job.text) != job.text.size() || !f.commit()) {
            fail(QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(f.fileName()), f.errorString()));
        }
        return;
    }
    case Job::Remove:
        QFile::remove(fileOf(job.index));
        return;
    case Job::RemoveAll:
        for (const QString &name : QDir(session_).entryList({QStringLiteral("*.draft")}, QDir::Files))
            QFile::remove(session_ + QLatin1Char('/') + name);
        return;
    case Job::Discard:
        for (const QString &folder : job.folders)
            QDir(folder).removeRecursively();
        job.claims.clear(); // unlocking removes each lock file
        return;
    case Job::End:
        QDir(session_).removeRecursively();
        lock_.reset();
        return;
    }
}

void DraftStore::fail(const QString &description)
{
    QMetaObject::invokeMethod(
        &context_,
        [this, description] {
            if (onFailure)
                onFailure(description);
        },
        Qt::QueuedConnection);
}

std::vector<Draft> DraftStore::leftBehind()
{
    struct Found {
        qint64 started;
        QString folder;
    };
    std::vector<Found> found;
    const QDir root(root_);
    for (const QFileInfo &entry : root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = entry.absoluteFilePath();
        if (folder == session_)
            continue;
        auto claim = std::make_shared<QLockFile>(folder + QStringLiteral(".lock"));
        claim->setStaleLockTime(0);
        // Held: that run is still going. Otherwise it ended without removing its folder.
        if (!claim->tryLock(0))
            continue;
        claimed_.push_back(claim);
        claimedFolders_.push_back(folder);
        found.push_back({entry.fileName().section(QLatin1Char('-'), 1).toLongLong(), folder});
    }
    std::stable_sort(found.begin(), found.end(), [](const Found &a, const Found &b) { return a.started < b.started; });
    std::vector<Draft> out;
    for (const Found &f : found) {
        QDir dir(f.folder);
        QStringList names = dir.entryList({QStringLiteral("*.draft")}, QDir::Files);
        std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
            return a.section(QLatin1Char('.'), 0, 0).toInt() < b.section(QLatin1Char('.'), 0, 0).toInt();
        });
        for (const QString &name : names) {
            QFile file(dir.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            if (auto d = parseDraft(file.readAll()))
                out.push_back(std::move(*d));
        }
    }
    return out;
}

void DraftStore::discardLeftBehind()
{
    Job job{Job::Discard, 0, {}, {}, std::move(claimed_), std::move(claimedFolders_)};
    claimed_.clear();
    claimedFolders_.clear();
    push(std::move(job));
}

void DraftStore::keepLeftBehind()
{
    claimed_.clear();
    claimedFolders_.clear();
}
