// SPDX-License-Identifier: GPL-3.0-or-later
#include "documents/drafts.h"
#include "qtprinters.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QWidget>
#include <cerrno>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

const QString RestoreQuestion = QStringLiteral("Marquill did not close normally. Restore %1 unsaved documents?");
const QString DeleteQuestion = QStringLiteral("Delete %1 unsaved documents for good?");

int modeOf(const QString &path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The text a draft gives back, as a restore builds it: the file's text or the draft's own,
// then the journal's records.
QByteArray replay(const Draft &d, size_t *applied = nullptr)
{
    QWidget parent;
    QtEditorFactory factory(&parent);
    Editor &e = *factory.createElement(0);
    if (d.onFile)
        loadTextFile(d.path, e);
    else
        e.loadUtf8(d.text.size(), [&](const Editor::Append &append) { append(d.text); });
    const size_t n = applyRecords(e, d.records);
    if (applied)
        *applied = n;
    return e.utf8();
}

class DraftTest : public FormTest {
protected:
    QString root() const { return env->stateFolder() + QStringLiteral("/marquill/drafts"); }
    // The draft timer fired and the worker is done with what that queued.
    void pause()
    {
        EXPECT_TRUE(app->draftTimer.isActive());
        form().writeDueDrafts();
        settle();
    }
    void settle()
    {
        form().drafts->waitIdle();
        QApplication::processEvents();
    }
    QByteArray draftText(const QString &file) const
    {
        const auto d = parseDraft(TempEnv::readFile(file));
        return d ? replay(*d) : QByteArray("(no draft)");
    }
    QStringList draftFiles() const
    {
        QStringList out;
        for (const QString &session : QDir(root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QString &name : QDir(root() + "/" + session).entryList({"*.draft"}, QDir::Files))
                out << root() + "/" + session + "/" + name;
        }
        return out;
    }
    // The program ends without its close request, as after a crash.
    void crashAndRestart()
    {
        settle();
        restartProgram();
    }
};

} // namespace

TEST(DraftFormat, HeaderAndTextComeBackAsTheyWere)
{
    Draft d{
        QStringLiteral("/tmp/odd\nname %.txt"), {TextEncoding::Utf16BE, LineBreaks::AsIs}, {}, "a\r\nb\rc", false, {}};
    d.file.path = d.path;
    d.file.size = 7;
    d.file.inode = 42;
    d.file.hash = "\x01\x02";
    const auto back = parseDraft(draftHeader(d) + d.text);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->path, d.path);
    EXPECT_TRUE(back->format == d.format);
    EXPECT_EQ(back->text, d.text);
    EXPECT_EQ(back->file.size, 7);
    EXPECT_EQ(back->file.inode, 42u);
    EXPECT_EQ(back->file.hash, d.file.hash);
    EXPECT_FALSE(parseDraft("not a draft\n\ntext").has_value());
}

TEST_F(DraftTest, DraftFollowsTheEditsAndSaveRemovesIt)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "one\r\n");
    form().OpenFile(path, false);
    EXPECT_FALSE(app->draftTimer.isActive()) << "opening a file is no edit";
    type(current(), QStringLiteral("x"));
    pause();
    ASSERT_EQ(draftFiles().size(), 1);
    auto d = parseDraft(TempEnv::readFile(draftFiles()[0]));
    ASSERT_TRUE(d.has_value());
    EXPECT_EQ(d->path, path);
    EXPECT_EQ(draftText(draftFiles()[0]), "xone\r\n");
    EXPECT_TRUE(d->format.lineBreaks == LineBreaks::CRLF);

    type(current(), QStringLiteral("y"));
    pause();
    EXPECT_EQ(draftText(draftFiles()[0]), "xyone\r\n");

    form().clickButton(Button::PushButton7);
    settle();
    EXPECT_TRUE(draftFiles().isEmpty());
    EXPECT_EQ(TempEnv::readFile(path), "xyone\r\n") << "the user's file is written by Save only";
}

TEST_F(DraftTest, CrashedRunIsRestoredWithTextEncodingAndPath)
{
    const QString path = env->writeFile(QStringLiteral("u16.txt"), QByteArray("\xFF\xFE"
                                                                              "a\0\n\0",
                                                                              6));
    form().OpenFile(path, false);
    type(current(), QStringLiteral("é"));
    form().clickButton(Button::PushButton2);
    type(current(), QStringLiteral("draft"));
    pause();
    EXPECT_EQ(TempEnv::readFile(path), QByteArray("\xFF\xFE"
                                                  "a\0\n\0",
                                                  6));

    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].text, RestoreQuestion.arg(2));
    EXPECT_EQ(captions(), (QStringList{"u16.txt*", "Untitled3.txt*"}));
    EXPECT_EQ(editorAt(1).text(), "éa\r\n");
    EXPECT_EQ(editorAt(1).tag(), "1|" + path);
    EXPECT_EQ(editorAt(2).text(), "draft");
    EXPECT_EQ(editorAt(2).tag(), "1|");
    EXPECT_TRUE(form().document(1).format.encoding == TextEncoding::Utf16LE);

    // Saved in its own encoding; the old run's drafts are gone, this run's follow the documents.
    tabs().select(0);
    form().clickButton(Button::PushButton7);
    EXPECT_EQ(TempEnv::readFile(path), QByteArray("\xFF\xFE\xE9\0"
                                                  "a\0\n\0",
                                                  8));
    settle();
    EXPECT_EQ(draftFiles().size(), 1);
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(prompts.shown[0].text, RestoreQuestion.arg(1));
    EXPECT_EQ(captions(), QStringList{"Untitled2.txt*"});
}

TEST_F(DraftTest, NoDeletesTheDraftsOnlyWhenAskedTwiceAndANormalEndLeavesNone)
{
    type(current(), QStringLiteral("lost on purpose"));
    pause();
    // No alone deletes nothing: the second question's default keeps the drafts.
    prompts.msgAnswers = {MsgResult::No, MsgResult::No};
    crashAndRestart();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_EQ(prompts.shown[0].style, MsgStyle::YesNo + MsgStyle::Discards + MsgStyle::HoldKeys)
        << "Restore is the default";
    EXPECT_EQ(prompts.shown[1].text, DeleteQuestion.arg(1));
    EXPECT_EQ(prompts.shown[1].style & (MsgStyle::DefaultButton2 | MsgStyle::HoldKeys),
              MsgStyle::DefaultButton2 | MsgStyle::HoldKeys);
    settle();
    EXPECT_EQ(draftFiles().size(), 1);
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No, MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    settle();
    EXPECT_TRUE(draftFiles().isEmpty());

    // Escape leaves them for the next start.
    type(current(), QStringLiteral("kept"));
    pause();
    prompts.msgAnswers = {MsgResult::Cancel, MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    crashAndRestart();
    EXPECT_EQ(current().text(), "kept");

    // Quitting normally removes the drafts; the next start asks nothing.
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes}; // Exit without saving?
    app->window.close();
    EXPECT_TRUE(form().quitRequested);
    restartProgram();
    EXPECT_EQ(prompts.ofKind(ShownPrompt::MsgBox).size(), 1u);
    EXPECT_TRUE(draftFiles().isEmpty());
}

// A file that the last normal end left open comes back with its draft in its own tab, not twice.
TEST_F(DraftTest, DraftOfAFileThatIsReopenedGoesIntoItsTab)
{
    const QString path = env->writeFile(QStringLiteral("kept.txt"), "disk\r\n");
    form().OpenFile(path, false);
    prompts.msgAnswers = {MsgResult::Yes}; // Exit without saving? (the untitled tab is empty)
    app->window.close();
    restartProgram();
    ASSERT_EQ(captions(), QStringList{"kept.txt"});
    type(current(), QStringLiteral("draft "));
    pause();

    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(captions(), QStringList{"kept.txt*"});
    EXPECT_EQ(current().text(), "draft disk\r\n");
    EXPECT_EQ(current().tag(), "1|" + path);
    EXPECT_EQ(TempEnv::readFile(path), "disk\r\n");
    // Saved as usual: the file on disk is the one the draft was taken from, so no question.
    prompts.clear();
    form().clickButton(Button::PushButton7);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(TempEnv::readFile(path), "draft disk\r\n");
}

TEST_F(DraftTest, UnwritableDraftFolderIsReportedOnce)
{
    // A file where the folder should be.
    QDir().mkpath(env->stateFolder() + "/marquill");
    env->writeFile(QStringLiteral("state/marquill/drafts"), "in the way");
    type(current(), QStringLiteral("a"));
    pause();
    type(current(), QStringLiteral("b"));
    pause();
    const auto shown = prompts.ofKind(ShownPrompt::MsgBox);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.startsWith("Unsaved changes cannot be kept as drafts")) << shown[0].text.toStdString();
    EXPECT_EQ(current().text(), "ab");
}

// Each pause adds the changes to a journal against the file; cut at any byte, the journal gives
// the text after its last whole record, never anything else.
TEST_F(DraftTest, JournalHoldsTheChangesAndACutJournalGivesOnlyWholeRecords)
{
    QByteArray big;
    while (big.size() < 64 * 1024)
        big += "a line of the file, \xC3\xA9t\xC3\xA9 \xFF raw\r\n";
    const QString path = env->writeFile(QStringLiteral("big.txt"), big);
    form().OpenFile(path, false);
    type(current(), QStringLiteral("first"));
    pause();
    ASSERT_EQ(draftFiles().size(), 1);
    const QString file = draftFiles()[0];
    EXPECT_LT(QFileInfo(file).size(), 1024) << "a draft holds the change, not a copy of the text";
    current().setSelStart(100);
    current().setSelLength(40);
    type(current(), QStringLiteral("ж\n€"));
    press(current(), Qt::Key_Backspace);
    current().setSelStart(current().textLength() - 7);
    type(current(), QStringLiteral("😀"));
    pause();
    const QByteArray whole = TempEnv::readFile(file);
    const auto full = parseDraft(whole);
    ASSERT_TRUE(full.has_value());
    ASSERT_TRUE(full->onFile);
    ASSERT_GE(full->records.size(), 3u);
    EXPECT_EQ(replay(*full), current().utf8()) << "byte-exact";

    // The text after each number of whole records, and where each record ends in the file.
    std::vector<QByteArray> states;
    std::vector<qsizetype> ends;
    qsizetype at = whole.indexOf("\n\n") + 2;
    for (size_t k = 0; k <= full->records.size(); ++k) {
        Draft part = *full;
        part.records.resize(k);
        states.push_back(replay(part));
        if (k > 0)
            at += encodeRecord(full->records[k - 1]).size();
        ends.push_back(at);
    }
    ASSERT_EQ(ends.back(), whole.size());
    for (qsizetype cut = 0; cut <= whole.size(); ++cut) {
        const auto d = parseDraft(whole.left(cut));
        if (!d) {
            EXPECT_LT(cut, ends[0]) << "a whole header must be read";
            continue;
        }
        const size_t whole_records = size_t(std::upper_bound(ends.begin(), ends.end(), cut) - ends.begin()) - 1;
        ASSERT_EQ(d->records.size(), whole_records) << "cut at " << cut;
        size_t applied = 0;
        ASSERT_EQ(replay(*d, &applied), states[whole_records]) << "cut at " << cut;
        EXPECT_EQ(applied, whole_records);
    }
    // A damaged byte inside a record ends the journal there as well.
    QByteArray damaged = whole;
    damaged[ends[1] + 30] = char(damaged[ends[1] + 30] ^ 1);
    EXPECT_EQ(parseDraft(damaged)->records.size(), 1u);
}

// A journal on a file that changed since leads nowhere: that draft is kept, not applied.
TEST_F(DraftTest, JournalOfAFileChangedOnDiskIsKeptNotApplied)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "one\r\n");
    form().OpenFile(path, false);
    type(current(), QStringLiteral("mine "));
    pause();
    env->writeFile(QStringLiteral("a.txt"), "theirs, longer\r\n");
    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    ASSERT_EQ(prompts.shown.size(), 2u);
    EXPECT_TRUE(prompts.shown[1].text.contains("changed on disk")) << prompts.shown[1].text.toStdString();
    EXPECT_EQ(captions(), QStringList{"Untitled1.txt"});
    settle();
    EXPECT_EQ(draftFiles().size(), 1) << "the draft stays for the next start";
}

TEST_F(DraftTest, AFileChangedWhileOpenIsDraftedWholeSoTheTextComesBackOverIt)
{
    const QString path = env->writeFile(QStringLiteral("a.txt"), "one\r\n");
    form().OpenFile(path, false);
    type(current(), QStringLiteral("mine "));
    pause();
    prompts.msgAnswers = {MsgResult::No}; // keeps the user's text over the other program's
    env->writeFile(QStringLiteral("a.txt"), "theirs, longer\r\n");
    QElapsedTimer clock;
    clock.start();
    while (prompts.shown.empty() && clock.elapsed() < 3000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_EQ(prompts.shown.size(), 1u);
    pause();
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(current().text(), "mine one\r\n");
    EXPECT_TRUE(captions().contains("a.txt*")) << captions().join(',').toStdString();
    prompts.clear();
    prompts.msgAnswers = {MsgResult::No};
    form().PushButton7_Click();
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_TRUE(prompts.shown[0].text.endsWith(" Overwrite it?"));
    EXPECT_EQ(TempEnv::readFile(path), "theirs, longer\r\n");
}

// Drafts copy text that may be private: only the user may read them, whatever the umask, and
// folders an earlier version left open are closed at start.
TEST_F(DraftTest, DraftsAreTheUsersAlone)
{
    const mode_t old = ::umask(0);
    type(current(), QStringLiteral("secret"));
    pause();
    ::umask(old);
    ASSERT_EQ(draftFiles().size(), 1);
    EXPECT_EQ(modeOf(draftFiles()[0]), 0600);
    EXPECT_EQ(modeOf(QFileInfo(draftFiles()[0]).path()), 0700);
    EXPECT_EQ(modeOf(root()), 0700);
    EXPECT_EQ(modeOf(env->stateFolder() + "/marquill"), 0700);
    EXPECT_EQ(modeOf(QFileInfo(draftFiles()[0]).path() + ".lock"), 0600);

    ::chmod(QFile::encodeName(root()).constData(), 0755);
    ::chmod(QFile::encodeName(QFileInfo(draftFiles()[0]).path()).constData(), 0755);
    ::chmod(QFile::encodeName(draftFiles()[0]).constData(), 0644);
    prompts.msgAnswers = {MsgResult::Cancel};
    crashAndRestart();
    EXPECT_EQ(modeOf(root()), 0700);
    EXPECT_EQ(modeOf(QFileInfo(draftFiles()[0]).path()), 0700);
    EXPECT_EQ(modeOf(draftFiles()[0]), 0600);
}

// The restored documents' new drafts cannot be written (a full disk): the old drafts stay, the
// user is told why, and the next start restores them again.
TEST_F(DraftTest, RestoreOnAFullDiskKeepsTheOldDrafts)
{
    type(current(), QStringLiteral("only copy"));
    pause();
    settle();
    app.reset();
    app = std::make_unique<QtApplication>(&prompts, env->programFolder());
    form().drafts->writeBytes = [](int, const char *, size_t) {
        errno = ENOSPC;
        return -1L;
    };
    prompts.msgAnswers = {MsgResult::Yes};
    app->start();
    settle();
    EXPECT_EQ(current().text(), "only copy");
    const auto shown = prompts.ofKind(ShownPrompt::MsgBox);
    ASSERT_EQ(shown.size(), 2u) << "told once";
    EXPECT_TRUE(shown[1].text.contains("No space left on device")) << shown[1].text.toStdString();
    EXPECT_EQ(draftFiles().size(), 1);

    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(current().text(), "only copy");
    settle();
    EXPECT_EQ(draftFiles().size(), 1) << "written in this run's folder, the old ones gone";
}

// Steady typing without a pause is drafted within a second, not only once it stops.
TEST_F(DraftTest, SteadyTypingIsDraftedWithinASecond)
{
    QElapsedTimer clock;
    clock.start();
    while (draftFiles().isEmpty() && clock.elapsed() < 3000) {
        type(current(), QStringLiteral("k"));
        QElapsedTimer key;
        key.start();
        while (key.elapsed() < 100)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        form().drafts->waitIdle();
    }
    ASSERT_EQ(draftFiles().size(), 1);
    EXPECT_LT(clock.elapsed(), 1500);
}

// A write that failed leaves a gap in the journal: nothing is added after it (that would give a
// text that never was) until the failure is noticed and the journal is written afresh.
TEST_F(DraftTest, NothingFollowsAFailedJournalWrite)
{
    const QByteArray disk = "yz" + QByteArray(300, '.');
    form().OpenFile(env->writeFile(QStringLiteral("a.txt"), disk), false);
    type(current(), QStringLiteral("x"));
    pause();
    ASSERT_EQ(draftFiles().size(), 1);
    const QString file = draftFiles()[0];
    bool full = true;
    form().drafts->writeBytes = [&](int fd, const char *data, size_t size) {
        if (full) {
            errno = ENOSPC;
            return -1L;
        }
        return long(::write(fd, data, size));
    };
    current().setSelStart(0);
    type(current(), QStringLiteral("b"));
    form().writeDueDrafts();
    form().drafts->waitIdle();
    full = false;
    current().setSelStart(1);
    type(current(), QStringLiteral("c"));
    form().writeDueDrafts(); // before the failure is reported
    form().drafts->waitIdle();
    EXPECT_EQ(draftText(file), "x" + disk);

    QApplication::processEvents(); // the failure: told once, the next write holds the whole text
    const auto shown = prompts.ofKind(ShownPrompt::MsgBox);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].text.contains("No space left on device")) << shown[0].text.toStdString();
    form().writeDueDrafts();
    settle();
    EXPECT_EQ(draftText(file), "bcx" + disk);
}
