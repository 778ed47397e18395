// SPDX-License-Identifier: GPL-3.0-or-later
// An error report names a procedure and a step number; this reads the procedures' sources and
// checks that each number names one statement and that the numbers rise in source order.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace {

struct Number {
    int value;
    bool fromBase; // written as base + value
};

// The numbers a helper reports, counted from the first one its caller gives it.
const std::map<QString, std::vector<int>> HelperSpans = {
    {QStringLiteral("takeEditorIndex"), {0}},
    {QStringLiteral("anyDocumentChanged"), {0, 2, 4, 6}},
    {QStringLiteral("addUntitledDocument"), {0, 2, 4, 6, 8, 10, 12, 14, 16}},
    {QStringLiteral("addDocumentTab"), {0, 2, 4, 6}},
    {QStringLiteral("takeReplaceSearch"), {0, 2, 4, 6, 8}},
};

std::vector<Number> numbersOf(const QString &body, std::set<int> &bases)
{
    static const QRegularExpression token(QStringLiteral(
        R"(\bsteps?(?:\.test)?\(\s*(\d+)|\bsteps?(?:\.test)?\(\s*(base)\b(?:\s*\+\s*(\d+))?|\b(\w+)\(step,\s*(\d+)|)"
        R"(\.\w+\s*=\s*(\d+)|\bbase\s*=\s*(\d+))"));
    std::vector<Number> numbers;
    for (const QRegularExpressionMatch &m : token.globalMatch(body)) {
        if (m.hasCaptured(1)) {
            numbers.push_back({m.captured(1).toInt(), false});
        } else if (m.hasCaptured(2)) {
            numbers.push_back({m.captured(3).toInt(), true});
        } else if (m.hasCaptured(4)) {
            const auto span = HelperSpans.find(m.captured(4));
            if (span == HelperSpans.end())
                continue;
            for (int offset : span->second)
                numbers.push_back({m.captured(5).toInt() + offset, false});
        } else if (m.hasCaptured(6)) {
            numbers.push_back({m.captured(6).toInt(), false}); // a caller's numbers for a shared routine
        } else {
            bases.insert(m.captured(7).toInt());
        }
    }
    return numbers;
}

// Each procedure with a report of its own: a top-level definition that starts `Steps step(`.
std::map<QString, QString> procedures(const QString &source)
{
    static const QRegularExpression definition(QStringLiteral(R"(^\S[^\n]*\bForm1::(\w+)\([^\n]*\n\{\n(.*?)^\})"),
                                               QRegularExpression::MultilineOption |
                                                   QRegularExpression::DotMatchesEverythingOption);
    std::map<QString, QString> found;
    for (const QRegularExpressionMatch &m : definition.globalMatch(source)) {
        if (m.captured(2).contains(QLatin1String("Steps step")))
            found[m.captured(1)] = m.captured(2);
    }
    return found;
}

// Empty when the numbers are unique and (unless `rising` is false) rise in source order;
// numbers from a base are checked with each base the procedure uses.
std::string problemsOf(const QString &body, bool rising = true)
{
    std::set<int> bases;
    const std::vector<Number> numbers = numbersOf(body, bases);
    if (bases.empty())
        bases.insert(0);
    QString problems;
    std::set<int> seen;
    for (int base : bases) {
        int last = 0;
        for (const Number &n : numbers) {
            const int value = n.fromBase ? base + n.value : n.value;
            if (rising && value <= last)
                problems += QStringLiteral(" %1 after %2;").arg(value).arg(last);
            last = value;
            if ((n.fromBase || base == *bases.begin()) && !seen.insert(value).second)
                problems += QStringLiteral(" %1 twice;").arg(value);
        }
    }
    return problems.toStdString();
}

} // namespace

TEST(StepNumbers, TheCheckSeesRepeatsDisorderAndBases)
{
    EXPECT_EQ(problemsOf("step(100, a);\nif (step.test(102, b)) step(104, c);\n"), "");
    EXPECT_EQ(problemsOf("step(100, a);\nstep(104, b);\nstep(104, c);\n"), " 104 after 104; 104 twice;");
    EXPECT_EQ(problemsOf("step(100, a);\nstep(124, b);\nstep(104, c);\n"), " 104 after 124;");
    EXPECT_EQ(problemsOf("takeEditorIndex(step, 102);\naddUntitledDocument(step, 104, 0);\nstep(122, d);\n"), "");
    EXPECT_EQ(problemsOf("addUntitledDocument(step, 104, 0);\nstep(120, d);\n"), " 120 after 120; 120 twice;");
    EXPECT_EQ(problemsOf("saveDocument(step, t, p, {.title = 106, .show = 104});\n"), " 104 after 106;");
    // Two ways numbered from two bases must not meet.
    EXPECT_EQ(problemsOf("int base = 110;\nstep(100, a);\nbase = 104;\nstep(base, b);\nstep(base + 6, c);\n"),
              " 110 twice;");
    EXPECT_EQ(problemsOf("int base = 130;\nbase = 114;\nstep(base, b);\nstep(base + 14, c);\n"), "");
}

TEST(StepNumbers, EveryProcedureNamesEachStatementOnce)
{
    int checked = 0;
    QDirIterator files(QStringLiteral(MARQUILL_SOURCE_DIR), {QStringLiteral("*.cpp")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(file.fileName());
        for (const auto &[name, body] : procedures(QString::fromUtf8(file.readAll()))) {
            EXPECT_EQ(problemsOf(body), "") << qPrintable(name);
            ++checked;
        }
    }
    EXPECT_GE(checked, 20); // the scan found the procedures
}
