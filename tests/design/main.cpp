// The design view suite runs against the real engine, offscreen.
#include <QApplication>
#include <gtest/gtest.h>

#include "DesignerHost.h"
#include "support/EngineMain.h"

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    zv::test::TDesignerHost::Release();
    return Result;
}
