// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/twips.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Twips::setDpi(96);
    return RUN_ALL_TESTS();
}
