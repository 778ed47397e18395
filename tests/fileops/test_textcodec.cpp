// SPDX-License-Identifier: GPL-3.0-or-later
#include "codectable.h"
#include "fileops/textcodec.h"
#include "platform/rawutf8.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <iconv.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    return TempEnv::readFile(path);
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(bytes), bytes.size());
}

QString failureOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const Failure &e) {
        return e.description();
    }
    return QStringLiteral("(no failure)");
}

} // namespace

TEST(TextCodec, TableDecodesAndRoundTripsByteExact)
{
    for (const CodecCase &c : codecTable()) {
        SCOPED_TRACE(c.name);
        DecodedText d = decodeText(c.bytes);
        EXPECT_EQ(d.format.encoding, c.encoding);
        EXPECT_EQ(d.format.lineBreaks, c.breaks);
        EXPECT_TRUE(d.text == c.text) << d.text.left(40).toUtf8().toHex().toStdString() << " expected "
                                      << c.text.left(40).toUtf8().toHex().toStdString();
        TextFormat format = d.format;
        EXPECT_TRUE(encodeText(d.text, format) == c.bytes);
        EXPECT_EQ(format, d.format);
    }
}

TEST(TextCodec, HighCodePageBytesAgreeWithSystemWindows1252)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP1252");
    if (cd == iconv_t(-1))
        GTEST_SKIP() << "the system has no CP1252 converter";
    const QByteArray unassigned("\x81\x8D\x8F\x90\x9D");
    for (int b = 0x80; b < 0x100; ++b) {
        char in = char(b);
        char16_t out = 0;
        char *inp = &in, *outp = reinterpret_cast<char *>(&out);
        size_t inLeft = 1, outLeft = 2;
        // "\xFF\xFF" is neither a byte-order mark nor UTF-8: the code page decodes it all.
        const QString ours = decodeText(QByteArray("\xFF\xFF") + char(b)).text.mid(2);
        ASSERT_EQ(ours.size(), 1);
        if (unassigned.contains(char(b))) {
            EXPECT_EQ(ours.at(0).unicode(), b);
            continue;
        }
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(iconv(cd, &inp, &inLeft, &outp, &outLeft), size_t(-1)) << b;
        EXPECT_EQ(ours.at(0).unicode(), out) << b;
    }
    iconv_close(cd);
}

TEST(TextCodec, EditedTextTakesTheDocumentsLineBreaks)
{
    TextFormat lf{TextEncoding::Utf8, LineBreaks::LF};
    EXPECT_EQ(encodeText(u(u"a\r\nb\r\n"), lf), "a\nb\n");
    TextFormat crlf{TextEncoding::Utf8Bom, LineBreaks::CRLF};
    EXPECT_EQ(encodeText(u(u"a\r\nb"), crlf), "\xEF\xBB\xBF"
                                              "a\r\nb");
    // A new document: UTF-8 without a byte-order mark, this platform's break, nothing appended.
    TextFormat fresh;
    EXPECT_EQ(fresh.encoding, TextEncoding::Utf8);
    EXPECT_EQ(encodeText(u(u"x\r\ny"), fresh), "x\ny");
}

TEST(TextCodec, CharacterOutsideTheCodePageSwitchesToUtf8)
{
    TextFormat format{TextEncoding::CodePage, LineBreaks::CRLF};
    EXPECT_EQ(encodeText(u(u"é€\u0081"), format), "\xE9\x80\x81");
    EXPECT_EQ(format.encoding, TextEncoding::CodePage);
    // U+0080 has no byte: 0x80 is the euro sign.
    for (const QString &text : {u(u"é Ω"), u(u"\u0080"), u(u"\U0001F600")}) {
        format.encoding = TextEncoding::CodePage;
        EXPECT_EQ(encodeText(text, format), text.toUtf8());
        EXPECT_EQ(format.encoding, TextEncoding::Utf8);
        EXPECT_EQ(format.lineBreaks, LineBreaks::CRLF);
    }
}

TEST(TextCodec, RandomBytesRoundTrip)
{
    std::mt19937 rng(20261207);
    const QByteArray prefixes[] = {"",         "\xEF\xBB\xBF", "\xEF\xBB\xBF\xEF\xBB\xBF",
                                   "\xFF\xFE", "\xFE\xFF",     "\xFF\xFE\xFF\xFE"};
    const char special[] = {'\r', '\n', '\0', char(0x80), char(0x81), char(0xC3), char(0xA9), char(0xED), char(0xD8)};
    for (int round = 0; round < 20000; ++round) {
        QByteArray bytes = prefixes[rng() % std::size(prefixes)];
        const int length = int(rng() % 64);
        for (int i = 0; i < length; ++i)
            bytes += rng() % 3 == 0 ? special[rng() % sizeof special] : char(rng() % 256);
        DecodedText d = decodeText(bytes);
        TextFormat format = d.format;
        const QByteArray again = encodeText(d.text, format);
        ASSERT_TRUE(again == bytes) << "round " << round << ": " << bytes.toHex().toStdString();
        ASSERT_EQ(format, d.format);
    }
}

TEST(TextCodec, RandomValidTextsRoundTripInEveryEncoding)
{
    std::mt19937 rng(7);
    const TextEncoding encodings[] = {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16LE,
                                      TextEncoding::Utf16BE};
    const char32_t pool[] = {'a',   'Z',    ' ',    '\t',   0,       0xE9,    0x20AC,  0x7FF,
                             0x800, 0xFFFD, 0xFEFF, 0xFFFF, 0x10000, 0x1F600, 0x10FFFF};
    for (int round = 0; round < 5000; ++round) {
        QString text = rng() % 8 ? QString() : QString(QChar(0xFEFF));
        const LineBreaks style = LineBreaks(rng() % 3);
        const int length = int(rng() % 40);
        for (int i = 0; i < length; ++i) {
            const unsigned pick = rng() % 20;
            if (pick < 3) {
                text += style == LineBreaks::LF     ? QStringLiteral("\r\n")
                        : style == LineBreaks::CRLF ? QStringLiteral("\r\n")
                                                    : QString(rng() % 2 ? QStringLiteral("\r") : QStringLiteral("\n"));
            } else {
                const char32_t c = pick < 10 ? pool[rng() % std::size(pool)] : char32_t(0x20 + rng() % (0xD000 - 0x20));
                text += QString::fromUcs4(&c, 1);
            }
        }
        TextFormat format{encodings[rng() % 4], style};
        const QByteArray bytes = encodeText(text, format);
        DecodedText d = decodeText(bytes);
        if (format.encoding != TextEncoding::Utf8) {
            ASSERT_EQ(d.format.encoding, format.encoding) << round;
        }
        // Breaks of one kind come back as they were given; a leading U+FEFF in UTF-8 without
        // a mark reads as the mark.
        if (style != LineBreaks::AsIs && (format.encoding != TextEncoding::Utf8 || !text.startsWith(QChar(0xFEFF)))) {
            ASSERT_TRUE(d.text == text) << round;
        }
        TextFormat again = d.format;
        ASSERT_TRUE(encodeText(d.text, again) == bytes) << round;
    }
}

TEST(TextFiles, ReadFailuresHavePlainDescriptions)
{
    QTemporaryDir dir;
    EXPECT_EQ(failureOf([&] { readTextFile(dir.filePath(QStringLiteral("missing.txt"))); }), "File not found");
    EXPECT_EQ(failureOf([&] { readTextFile(dir.path()); }), "Path/File access error");
}

TEST(TextFiles, WriteFailuresHavePlainDescriptionsAndKeepTheFormat)
{
    QTemporaryDir dir;
    writeAll(dir.filePath(QStringLiteral("plain")), "x");
    TextFormat format{TextEncoding::CodePage, LineBreaks::CRLF};
    const QString text = u(u"Ω");
    EXPECT_EQ(failureOf([&] { SaveTextFile(text, dir.filePath(QStringLiteral("no/such/a.txt")), format); }),
              "Path not found");
    EXPECT_EQ(failureOf([&] { SaveTextFile(text, dir.filePath(QStringLiteral("plain/a.txt")), format); }),
              "Path not found");
    EXPECT_EQ(failureOf([&] { SaveTextFile(text, dir.path(), format); }), "Path/File access error");
    // Nothing was written, so the document keeps the format its file has.
    EXPECT_EQ(format.encoding, TextEncoding::CodePage);
    SaveTextFile(text, dir.filePath(QStringLiteral("ok.txt")), format);
    EXPECT_EQ(format.encoding, TextEncoding::Utf8);
}

TEST(TextFiles, WriteIntoReadOnlyFolderIsPermissionDenied)
{
    // Root may write into any folder whatever its mode; sysfs refuses new files even to root.
    QTemporaryDir dir;
    QString folder = QStringLiteral("/sys");
    if (geteuid() != 0) {
        folder = dir.filePath(QStringLiteral("ro"));
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    }
    TextFormat format;
    EXPECT_EQ(failureOf([&] { SaveTextFile(u(u"x"), folder + QStringLiteral("/a.txt"), format); }),
              "Permission denied");
}

TEST(TextFiles, SavingThroughALinkWritesItsTargetAndKeepsLinkAndPermissions)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("real"));
    const QString target = dir.filePath(QStringLiteral("real/target.txt"));
    const QString link = dir.filePath(QStringLiteral("link.txt"));
    writeAll(target, "old\n");
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(target, mode));
    ASSERT_TRUE(QFile::link(QStringLiteral("real/target.txt"), link));

    DecodedText d = readTextFile(link);
    SaveTextFile(d.text + QStringLiteral("new"), link, d.format);

    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
    EXPECT_EQ(readAll(target), "old\nnew");
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1) << "only the link";
    EXPECT_EQ(QDir(dir.filePath(QStringLiteral("real"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

TEST(TextFiles, NewFileGetsNormalPermissions)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("new.txt"));
    TextFormat format;
    SaveTextFile(u(u"a"), path, format);
    const mode_t mask = umask(0);
    umask(mask);
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);
}

// Saves `text` to `path` in a child process whose files may not grow beyond `limit` bytes, as
// a full disk would stop them; returns the failure's description.
QString saveUnderSizeLimit(const QString &text, const QString &path, rlim_t limit)
{
    int out[2];
    if (pipe(out) != 0)
        return QStringLiteral("(no pipe)");
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit r{limit, limit};
        setrlimit(RLIMIT_FSIZE, &r);
        TextFormat format;
        const QByteArray result = failureOf([&] { SaveTextFile(text, path, format); }).toUtf8();
        (void)!write(out[1], result.constData(), result.size());
        _exit(0);
    }
    close(out[1]);
    QByteArray result;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, n);
    close(out[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return QStringLiteral("(child failed)");
    return QString::fromUtf8(result);
}

TEST(TextFiles, WriteThatFailsHalfWayLeavesTheOldFileIntact)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    const QByteArray old = QByteArray("precious\r\n").repeated(1000);
    writeAll(path, old);
    // A large text is written straight through and stops part of the way in; a small one sits
    // in the file's buffer and fails only when the save is completed.
    EXPECT_EQ(saveUnderSizeLimit(QString(1024 * 1024, QLatin1Char('x')), path, 64 * 1024), "Disk full");
    EXPECT_TRUE(readAll(path) == old);
    EXPECT_EQ(saveUnderSizeLimit(QStringLiteral("short"), path, 3), "Disk full");
    EXPECT_TRUE(readAll(path) == old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1) << "no half-written file left";
}

TEST(TextCodec, CanHoldTellsWhetherTheCodePageHasEveryCharacter)
{
    const TextFormat codePage{TextEncoding::CodePage, LineBreaks::LF};
    EXPECT_TRUE(canHold(QStringLiteral("caf\u00e9 \u20ac \u017e \u0081 \u00ff\r\n"), codePage));
    EXPECT_FALSE(canHold(QStringLiteral("caf\u00e9 \u03a9"), codePage));
    EXPECT_FALSE(canHold(QStringLiteral("\U0001F600"), codePage));
    EXPECT_TRUE(canHold(QStringLiteral("\u03a9 \U0001F600"), TextFormat{TextEncoding::Utf8, LineBreaks::LF}));
    EXPECT_TRUE(canHold(QStringLiteral("\u03a9"), TextFormat{TextEncoding::Utf16BE, LineBreaks::CRLF}));
}

// A UTF-8 file with a character cut off or broken at any byte opens as UTF-8 with those bytes
// kept as they are: saved unchanged it stays byte-exact, and typing around them changes nothing
// else. Text without a single valid multi-byte character stays in the code page.
TEST_F(FormTest, BrokenUtf8KeepsItsBytesThroughTheEditor)
{
    QtEditor &editor = editorAt(0);
    const QString path = env->writeFile(QStringLiteral("b.txt"), "");
    const QByteArray head = "J\xC3\xB6rg ";
    for (const QByteArray &character :
         {QByteArray("\xC3\xB6"), QByteArray("\xE2\x82\xAC"), QByteArray("\xF0\x9F\x98\x80")}) {
        for (qsizetype cut = 1; cut < character.size(); ++cut) {
            for (const QByteArray &broken : {character.left(cut), character.mid(cut)}) {
                for (const QByteArray &tail : {QByteArray(), QByteArray(" 5\n")}) {
                    SCOPED_TRACE((head + broken + tail).toHex().toStdString());
                    writeAll(path, head + broken + tail);
                    TextFormat format = loadTextFile(path, editor);
                    EXPECT_EQ(format.encoding, TextEncoding::Utf8);
                    EXPECT_TRUE(editor.text().startsWith(QStringLiteral("Jörg ")));
                    SaveTextFile(editor, path, format);
                    EXPECT_EQ(readAll(path), head + broken + tail);
                    editor.setSelStart(5);
                    editor.setSelText(QStringLiteral("→"));
                    editor.setSelStart(6 + static_cast<int>(broken.size()));
                    editor.setSelText(QStringLiteral("→"));
                    SaveTextFile(editor, path, format);
                    EXPECT_EQ(format.encoding, TextEncoding::Utf8);
                    EXPECT_EQ(readAll(path), head + "\xE2\x86\x92" + broken + "\xE2\x86\x92" + tail);
                }
            }
        }
    }
    writeAll(path, "M\xFC\xDFig caf\xE9\n");
    EXPECT_EQ(loadTextFile(path, editor).encoding, TextEncoding::CodePage);
    EXPECT_EQ(editor.text(), QStringLiteral("Müßig café\r\n"));
}

// The word-at-a-time UTF-8 check agrees with the rules byte by byte, at every place in a
// 32-byte block and across blocks.
TEST(RawUtf8Test, ValidityCheckAgreesWithTheSequenceRules)
{
    const unsigned char interesting[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF,
                                         0xE0, 0xE1, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF3, 0xF4, 0xF5, 0xFF};
    const auto byRules = [](const QByteArray &b) {
        const auto *s = reinterpret_cast<const unsigned char *>(b.constData());
        for (qsizetype i = 0; i < b.size();) {
            const int len = RawUtf8::sequenceAt(s + i, b.size() - i);
            if (len == 0)
                return false;
            i += len;
        }
        return true;
    };
    std::mt19937 rng(3);
    int valid = 0;
    for (int round = 0; round < 20000; ++round) {
        QByteArray b(rng() % 70, 'a');
        const qsizetype at = b.isEmpty() ? 0 : qsizetype(rng() % b.size());
        for (int k = 0, n = int(rng() % 5); k < n && at + k < b.size(); ++k)
            b[at + k] = char(interesting[rng() % std::size(interesting)]);
        const bool expected = byRules(b);
        valid += expected;
        ASSERT_EQ(RawUtf8::isValid(b), expected) << b.toHex().constData();
        ASSERT_EQ(b.isValidUtf8(), expected) << b.toHex().constData();
    }
    EXPECT_GT(valid, 1000); // the cases were not all broken
}
