// Runs the application tests inside a QApplication with the real engine, offscreen unless a
// platform is given.
#include <QApplication>

#include <gtest/gtest.h>

#include "support/EngineMain.h"

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication app(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
