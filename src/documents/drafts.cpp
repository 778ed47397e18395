// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/drafts.h"

#include "platform/files.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QByteArray Magic = QByteArrayLiteral("Marquill draft 1");
const QByteArray JournalMagic = QByteArrayLiteral("Marquill draft 2");

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

QByteArray headerWith(const QByteArray &magic, const Draft &draft)
{
    // The path is percent-encoded: a file name may hold a line break.
    QByteArray out = magic + '\n';
    out += "path=" + nameBytes(draft.path).toPercentEncoding("/") + '\n'; // its own bytes, also those no UTF-8
    out += QByteArray("encoding=") + encodingName(draft.format.encoding) + '\n';
    out += QByteArray("lineBreaks=") + lineBreakName(draft.format.lineBreaks) + '\n';
    out += "file=" + stampToText(draft.file).toLatin1() + '\n';
    if (magic == JournalMagic)
        out += draft.onFile ? "base=file\n" : "base=none\n";
    out += '\n';
    return out;
}

QString errnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

QByteArray draftHeader(const Draft &draft)
{
    return headerWith(Magic, draft);
}

QByteArray journalHeader(const Draft &draft)
{
    return headerWith(JournalMagic, draft);
}

std::optional<Draft> parseDraft(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\n\n");
    const bool journal = bytes.startsWith(JournalMagic + '\n');
    if (end < 0 || !(journal || bytes.startsWith(Magic + '\n')))
        return std::nullopt;
    Draft d;
    QString stamp;
    bool encodingOk = false, breaksOk = false, baseOk = !journal;
    for (const QByteArray &line : bytes.left(end).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QByteArray key = line.left(eq), value = line.mid(eq + 1);
        if (key == "path")
            d.path = nameFromBytes(QByteArray::fromPercentEncoding(value));
        else if (key == "base") {
            d.onFile = value == "file";
            baseOk = d.onFile || value == "none";
        } else if (key == "file")
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
    if (!encodingOk || !breaksOk || !baseOk)
        return std::nullopt;
    d.file = stampFromText(d.path, stamp);
    // A journal on a file whose stamp is lost leads nowhere.
    if (d.onFile && !d.file.known())
        return std::nullopt;
    if (journal)
        d.records = decodeRecords(QByteArrayView(bytes).sliced(end + 2));
    else
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
    writeBytes = [](int fd, const char *data, size_t size) { return long(::write(fd, data, size)); };
    // Drafts that an earlier version left readable to others become the user's alone.
    if (QFileInfo(root_).isDir() && !QFileInfo(root_).isSymLink()) {
        makePrivateFolder(root_);
        const QDir dir(root_);
        for (const QFileInfo &entry :
             dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::Hidden)) {
            if (entry.isSymLink())
                continue;
            const QByteArray name = QFile::encodeName(entry.absoluteFilePath());
            ::chmod(name.constData(), entry.isDir() ? 0700 : 0600);
            if (!entry.isDir())
                continue;
            for (const QFileInfo &file : QDir(entry.absoluteFilePath()).entryInfoList(QDir::Files | QDir::Hidden)) {
                if (!file.isSymLink())
                    ::chmod(QFile::encodeName(file.absoluteFilePath()).constData(), 0600);
            }
        }
    }
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
            // A draft written afresh or removed makes what was waiting for it moot; the order of
            // the rest stays. Appends stay: each adds to what the one before left.
            for (auto it = jobs_.begin(); it != jobs_.end();) {
                if ((it->kind == Job::Write || it->kind == Job::Append || it->kind == Job::Remove) &&
                    it->index == job.index)
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

void DraftStore::write(int index, const QByteArray &header, std::vector<JournalRecord> records)
{
    push(Job{Job::Write, index, header, std::move(records), {}, {}});
}

void DraftStore::append(int index, std::vector<JournalRecord> records)
{
    push(Job{Job::Append, index, {}, std::move(records), {}, {}});
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
    if (!makePrivateFolder(root_)) {
        error = QCoreApplication::translate("Form1", "the folder %1 cannot be made: %2").arg(root_, errnoText(errno));
        return false;
    }
    auto lock = std::make_unique<QLockFile>(session_ + QStringLiteral(".lock"));
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) {
        error = QCoreApplication::translate("Form1", "%1 cannot be written").arg(root_);
        return false;
    }
    // It names this process and machine: for the user's eyes only, like the drafts.
    ::chmod(QFile::encodeName(session_ + QStringLiteral(".lock")).constData(), 0600);
    if (!makePrivateFolder(session_)) {
        error =
            QCoreApplication::translate("Form1", "the folder %1 cannot be made: %2").arg(session_, errnoText(errno));
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
    case Job::Write:
    case Job::Append: {
        QString error;
        if (!openSession(error)) {
            broken_.insert(job.index);
            fail(job.index, error);
            return;
        }
        if (job.kind == Job::Write)
            writeJournal(job);
        else
            appendJournal(job);
        return;
    }
    case Job::Remove:
        broken_.erase(job.index);
        QFile::remove(fileOf(job.index));
        return;
    case Job::RemoveAll:
        broken_.clear();
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

bool DraftStore::writeAll(int fd, QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const long n = writeBytes(fd, p, size_t(std::min<qsizetype>(left, qsizetype(1) << 30)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return false;
        }
        p += n;
        left -= n;
    }
    return true;
}

bool DraftStore::writeRecords(int fd, const std::vector<JournalRecord> &records)
{
    for (const JournalRecord &r : records) {
        const QByteArray head = recordHead(r);
        if (!writeAll(fd, head) || !writeAll(fd, r.inserted) || !writeAll(fd, recordTail(head, r.inserted)))
            return false;
    }
    return true;
}

void DraftStore::writeJournal(Job &job)
{
    // A new file beside the old journal takes its place only once it is whole: until then a
    // crash finds the old one.
    const QString path = fileOf(job.index);
    const QByteArray target = QFile::encodeName(path), temporary = target + ".new";
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    bool ok = fd >= 0 && ::fchmod(fd, 0600) == 0 && writeAll(fd, job.header) && writeRecords(fd, job.records) &&
              ::fdatasync(fd) == 0;
    int error = errno;
    if (fd >= 0 && ::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temporary.constData(), target.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (ok) {
        broken_.erase(job.index);
    } else {
        // The old journal stays whole, but it no longer leads to the text: nothing more is
        // added to it until it is written afresh.
        broken_.insert(job.index);
        ::unlink(temporary.constData());
        fail(job.index, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), errnoText(error)));
    }
}

void DraftStore::appendJournal(Job &job)
{
    // After a failed write the records would follow a gap; the failure asked for a fresh journal.
    if (broken_.count(job.index))
        return;
    const QString path = fileOf(job.index);
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        broken_.insert(job.index);
        fail(job.index, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), errnoText(errno)));
        return;
    }
    struct stat st {};
    const bool known = ::fstat(fd, &st) == 0;
    const bool ok = known && writeRecords(fd, job.records) && ::fdatasync(fd) == 0;
    const int error = errno;
    if (!ok) {
        // What was cut off would be ignored at a restore, but nothing after it could follow.
        if (known)
            (void)::ftruncate(fd, st.st_size);
        broken_.insert(job.index);
        fail(job.index, QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), errnoText(error)));
    }
    ::close(fd);
}

void DraftStore::fail(int index, const QString &description)
{
    {
        std::lock_guard<std::mutex> guard(mutex_);
        lastFailure_ = description;
    }
    ++failures_;
    QMetaObject::invokeMethod(
        &context_,
        [this, index, description] {
            if (onFailure)
                onFailure(index, description);
        },
        Qt::QueuedConnection);
}

QString DraftStore::lastFailure()
{
    std::lock_guard<std::mutex> guard(mutex_);
    return lastFailure_;
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
