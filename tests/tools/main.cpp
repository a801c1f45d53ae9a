// The tools suite runs against the real design view, offscreen.
#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include "design/DesignerHost.h"
#include "support/EngineMain.h"

int main(int argc, char** argv)
{
    zv::test::PrepareEngineProcess();
    QApplication App(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    zv::test::TDesignerHost::Release();
    return Result;
}
