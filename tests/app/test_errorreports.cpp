// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "testenv.h"

#include <gtest/gtest.h>

namespace {

struct Reported {
    QString description;
    QString procedure;
    int step;
};

class Recorder : public ErrorReporter {
public:
    void reportError(const QString &description, const char *procedure, int step) override
    {
        seen.push_back({description, QString::fromLatin1(procedure), step});
    }
    std::vector<Reported> seen;
};

// A procedure without a report of its own: its failure surfaces in the caller's step.
void helperWithoutReport(int &progress)
{
    progress = 1;
    throw Failure(QStringLiteral("File not found"));
}

} // namespace

TEST(Steps, FailingFirstStepStillRunsEveryLaterStep)
{
    Recorder r;
    Steps step(r, "PushButton5_Click");
    std::vector<int> ran;
    step(100, [&] { throw Failure(QStringLiteral("Overflow")); });
    step(102, [&] { ran.push_back(102); });
    step(104, [&] { ran.push_back(104); });
    ASSERT_EQ(r.seen.size(), 1u);
    EXPECT_EQ(r.seen[0].description, "Overflow");
    EXPECT_EQ(r.seen[0].step, 100);
    EXPECT_EQ(ran, (std::vector<int>{102, 104}));
}

TEST(Steps, TwoFailuresGiveTwoReportsInOrder)
{
    Recorder r;
    Steps step(r, "Form_Load");
    step(100, [&] { throw Failure(QStringLiteral("first")); });
    step(102, [] {});
    step(104, [&] { throw std::bad_alloc(); });
    ASSERT_EQ(r.seen.size(), 2u);
    EXPECT_EQ(r.seen[0].step, 100);
    EXPECT_EQ(r.seen[0].description, "first");
    EXPECT_EQ(r.seen[1].step, 104);
    EXPECT_EQ(r.seen[1].description, "Out of memory");
}

TEST(Steps, FailingConditionRunsTheBody)
{
    Recorder r;
    Steps step(r, "Form_QueryUnload");
    bool bodyRan = false;
    if (step.test(106, []() -> bool { throw Failure(QStringLiteral("Index out of bounds")); }))
        step(108, [&] { bodyRan = true; });
    EXPECT_TRUE(bodyRan);
    ASSERT_EQ(r.seen.size(), 1u);
    EXPECT_EQ(r.seen[0].step, 106);
    // A condition that holds no failure answers as it evaluates.
    EXPECT_FALSE(step.test(110, [] { return false; }));
    EXPECT_EQ(r.seen.size(), 1u);
}

TEST(Steps, FailureInCalleeIsReportedWithCallersNameAndStep)
{
    Recorder r;
    Steps step(r, "PushButton7_Click");
    int progress = 0;
    bool after = false;
    step(124, [&] { helperWithoutReport(progress); });
    step(126, [&] { after = true; });
    ASSERT_EQ(r.seen.size(), 1u);
    EXPECT_EQ(r.seen[0].procedure, "PushButton7_Click");
    EXPECT_EQ(r.seen[0].step, 124);
    EXPECT_EQ(r.seen[0].description, "File not found");
    EXPECT_EQ(progress, 1);
    EXPECT_TRUE(after);
}

TEST(Steps, SixteenBitIncrementOverflows)
{
    EXPECT_EQ(checkedIncrement(1), 2);
    EXPECT_EQ(checkedIncrement(32766), 32767);
    EXPECT_THROW(checkedIncrement(32767), Failure);
}

class ErrorReportText : public FormTest {};

TEST_F(ErrorReportText, ShowsTheExactTextTitleAndStyle)
{
    prompts.clear();
    form().reportError(QStringLiteral("Permission denied"), "PushButton5_Click", 104);
    ASSERT_EQ(prompts.shown.size(), 1u);
    const ShownPrompt &box = prompts.shown[0];
    EXPECT_EQ(box.kind, ShownPrompt::MsgBox);
    EXPECT_EQ(box.title, "Application Error");
    EXPECT_EQ(box.style, 48);
    EXPECT_EQ(box.text, "Permission denied\r\nin Quorvel2021/08/31.Form1.PushButton5_Click at line 104\r\r"
                        "Please email screenshot of this message to support@example.org");
}
