#include "documents/drafts.h"
#include "qtprinters.h"
#include "testenv.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QString RestoreQuestion = QStringLiteral("Marquill did not close normally. Restore %1 unsaved documents?");

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
    Draft d{QStringLiteral("/tmp/odd\nname %.txt"), {TextEncoding::Utf16BE, LineBreaks::AsIs}, {}, "a\r\nb\rc"};
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
    EXPECT_EQ(d->text, "xone\r\n");
    EXPECT_TRUE(d->format.lineBreaks == LineBreaks::CRLF);

    type(current(), QStringLiteral("y"));
    pause();
    d = parseDraft(TempEnv::readFile(draftFiles()[0]));
    EXPECT_EQ(d->text, "xyone\r\n");

    form().clickButton(Button::PushButton7);
    settle();
    EXPECT_TRUE(draftFiles().isEmpty());
    EXPECT_EQ(TempEnv::readFile(path), "xyone\r\n") << "the user's file is written by Save only";
}

TEST_F(DraftTest, CrashedRunIsRestoredWithTextEncodingAndPath)
{
    const QString path = env->writeFile(QStringLiteral("u16.txt"), QByteArray("\xFF\xFE" "a\0\n\0", 6));
    form().OpenFile(path, false);
    type(current(), QStringLiteral("é"));
    form().clickButton(Button::PushButton2);
    type(current(), QStringLiteral("draft"));
    pause();
    EXPECT_EQ(TempEnv::readFile(path), QByteArray("\xFF\xFE" "a\0\n\0", 6));

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
    EXPECT_EQ(TempEnv::readFile(path), QByteArray("\xFF\xFE\xE9\0" "a\0\n\0", 8));
    settle();
    EXPECT_EQ(draftFiles().size(), 1);
    prompts.clear();
    prompts.msgAnswers = {MsgResult::Yes};
    crashAndRestart();
    EXPECT_EQ(prompts.shown[0].text, RestoreQuestion.arg(1));
    EXPECT_EQ(captions(), QStringList{"Untitled2.txt*"});
}

TEST_F(DraftTest, NoDeletesTheDraftsAndANormalEndLeavesNone)
{
    type(current(), QStringLiteral("lost on purpose"));
    pause();
    prompts.msgAnswers = {MsgResult::No};
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
