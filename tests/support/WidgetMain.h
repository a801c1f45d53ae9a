#pragma once
// The main function of a widget test suite: a QApplication, offscreen unless a platform is
// given.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <unistd.h>

namespace zv::test {

inline int RunWidgetTests(int argc, char** argv)
{
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (geteuid() == 0)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace zv::test
