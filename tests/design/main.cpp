// The design view suite runs against the real engine, offscreen: the schemes are registered
// and the environment is set before the application object exists.
#include <QApplication>
#include <gtest/gtest.h>
#include <unistd.h>

#include "DesignerHost.h"
#include "NameSpace.h"

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    zv::RegisterNameSpaceSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication App(argc, argv);
    testing::InitGoogleTest(&argc, argv);
    const int Result = RUN_ALL_TESTS();
    zv::test::TDesignerHost::Release();
    return Result;
}
