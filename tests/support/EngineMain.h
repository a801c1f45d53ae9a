#pragma once
// What a test program of the real engine does before its application object exists: offscreen
// unless a platform is set, the sandbox off as root (the engine refuses to start otherwise),
// the "idoc:" and "edit:" schemes registered.

#include <QApplication>
#include <unistd.h>

#include "NameSpace.h"

namespace zv::test {

inline void PrepareEngineProcess()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    RegisterNameSpaceSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

}  // namespace zv::test
