// The engine suite runs against the real engine, offscreen: the schemes are registered and the
// environment is set before the application object exists.
#include <QApplication>
#include <gtest/gtest.h>

#include "EngineHost.h"
#include "support/EngineMain.h"

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    zv::test::TEngineHost::Release();
    return Result;
}
