// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"
#include "app/layout.h"
#include "platform/editor.h"
#include "platform/tabstrip.h"
#include "testenv.h"

#include <QApplication>
#include <gtest/gtest.h>

TEST(LayoutArithmetic, DesignedClientAreaGivesDesignedSizes)
{
    // Tab strip at (120, 1125) in the window, editors at (120, 480) in the tab strip.
    const auto stripWidth = Layout::fill(12105.0f, 120.0f);
    const auto stripHeight = Layout::fill(9165.0f, 1125.0f);
    ASSERT_TRUE(stripWidth && stripHeight);
    EXPECT_EQ(*stripWidth, 11865.0f);
    EXPECT_EQ(*stripHeight, 7920.0f);
    const auto editorWidth = Layout::fill(*stripWidth, 120.0f);
    const auto editorHeight = Layout::fill(*stripHeight, 480.0f);
    ASSERT_TRUE(editorWidth && editorHeight);
    EXPECT_EQ(*editorWidth, 11625.0f);
    EXPECT_EQ(*editorHeight, 7320.0f);
}

TEST(LayoutArithmetic, NothingLeftKeepsTheLength)
{
    EXPECT_FALSE(Layout::fill(1245.0f, 1125.0f)); // exactly 0
    EXPECT_FALSE(Layout::fill(600.0f, 1125.0f));
    EXPECT_FALSE(Layout::fill(0.0f, 120.0f));
    ASSERT_TRUE(Layout::fill(1245.5f, 1125.0f));
    EXPECT_EQ(*Layout::fill(1245.5f, 1125.0f), 0.5f);
}

TEST(LayoutArithmetic, WorksInSinglePrecision)
{
    // Above 2^24 a float steps by 2: 16777220 - 0.75 rounds to 16777220 before the margin is
    // taken off; in double the result would be 16777099.
    const auto w = Layout::fill(16777220.0f, 0.75f);
    ASSERT_TRUE(w);
    EXPECT_EQ(*w, 16777100.0f);
}

class LayoutTest : public FormTest {
protected:
    void resizeWindow(int widthPx, int heightPx)
    {
        app->window.resize(widthPx, heightPx);
        QApplication::processEvents();
    }
};

TEST_F(LayoutTest, ResizeReachesEveryLoadedEditorAlsoHiddenOnes)
{
    form().PushButton2_Click(); // editor 1 with a tab
    form().loadEditor(2);       // loaded and hidden, as a closed document's editor stays
    ASSERT_FALSE(form().RichTextBox(2).isVisible());
    resizeWindow(700, 500);
    ASSERT_EQ(form().loadedEditorCount(), 3);
    EXPECT_EQ(tabs().width(), 700 * 15 - 240);
    EXPECT_EQ(tabs().height(), 500 * 15 - 1245);
    // At 96 DPI the designed 12105 x 9165 twips are 807 x 611 pixels.
    resizeWindow(807, 611);
    EXPECT_EQ(app->window.scaleWidth(), 12105);
    EXPECT_EQ(tabs().width(), 11865);
    EXPECT_EQ(tabs().height(), 7920);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(form().RichTextBox(i).width(), 11625) << "editor " << i;
        EXPECT_EQ(form().RichTextBox(i).height(), 7320) << "editor " << i;
    }
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(LayoutTest, TooSmallWindowLeavesEachLengthThatWouldVanish)
{
    resizeWindow(807, 611);
    // 30 px = 450 twips: nothing left for the tab strip's height; 100 px wide still fits.
    resizeWindow(100, 30);
    EXPECT_EQ(tabs().height(), 7920);
    EXPECT_EQ(tabs().width(), 100 * 15 - 240);
    EXPECT_EQ(form().RichTextBox(0).height(), 7320);
    EXPECT_EQ(form().RichTextBox(0).width(), 100 * 15 - 240 - 240);
    // 15 px = 225 twips: the tab strip's width would vanish too; the editor's width follows
    // the tab strip's kept width.
    resizeWindow(15, 30);
    ASSERT_EQ(app->window.width(), 15);
    EXPECT_EQ(tabs().width(), 100 * 15 - 240);
    EXPECT_EQ(form().RichTextBox(0).width(), 100 * 15 - 240 - 240);
    EXPECT_TRUE(prompts.reports().empty());
}

TEST_F(LayoutTest, MinimizedWindowChangesNothing)
{
    resizeWindow(807, 611);
    tabs().setWidth(5000);
    tabs().setHeight(4000);
    app->window.setWindowState(Qt::WindowMinimized);
    ASSERT_EQ(app->window.windowState(), WindowState::Minimized);
    form().Form_Resize();
    EXPECT_EQ(tabs().width(), 5000);
    EXPECT_EQ(tabs().height(), 4000);
    EXPECT_EQ(form().RichTextBox(0).width(), 11625);
    // Restored, it is laid out again.
    app->window.setWindowState(Qt::WindowNoState);
    form().Form_Resize();
    EXPECT_EQ(tabs().width(), 11865);
    EXPECT_EQ(form().RichTextBox(0).width(), 11625);
}

TEST(WindowPlacement, DesignedWindowIsCentredWhereItFits)
{
    const auto p = Layout::placeWindow({0, 0, 1280, 1024}, {807, 611}, {1, 30, 1, 1});
    EXPECT_EQ(p.clientWidth, 807);
    EXPECT_EQ(p.clientHeight, 611);
    EXPECT_EQ(p.frameX, (1280 - 809) / 2);
    EXPECT_EQ(p.frameY, (1024 - 642) / 2);
}

TEST(WindowPlacement, SmallScreenKeepsTitleBarAndButtonsOnIt)
{
    // 640 logical pixels across: the buttons' 688 pixels shrink to fit; wide screens keep the design.
    EXPECT_NEAR(Layout::fitScale(640 - 12, 688), 628.0 / 688, 1e-9);
    EXPECT_EQ(Layout::fitScale(1280, 688), 1.0);

    // 1280 x 1024 at a scale factor of 2, a panel of 24 pixels at the top.
    const Layout::Area screen{0, 24, 640, 488};
    const auto p = Layout::placeWindow(screen, {807, 611}, {2, 28, 2, 2});
    EXPECT_EQ(p.frameX, 0);
    EXPECT_EQ(p.frameY, 24) << "the title bar starts below the panel";
    EXPECT_EQ(p.clientWidth, 636);
    EXPECT_EQ(p.clientHeight, 458);
    // On a second screen to the right the same holds within that screen.
    const auto q = Layout::placeWindow({1920, 0, 640, 512}, {807, 300}, {0, 30, 0, 0});
    EXPECT_EQ(q.frameX, 1920);
    EXPECT_EQ(q.frameY, (512 - 330) / 2);
    EXPECT_EQ(q.clientWidth, 640);
    EXPECT_EQ(q.clientHeight, 300);
}
