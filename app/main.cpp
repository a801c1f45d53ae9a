// Zandovell: the settings file opens, the page schemes register before the application
// object exists, then the main window runs until it is closed.
#include <QApplication>
#include <QMessageBox>
#include <unistd.h>

#include "IniUtils.h"
#include "NameSpace.h"
#include "UnitMain.h"

namespace {

// An exception that reaches the event loop is shown, and the program goes on.
class TApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* Receiver, QEvent* Event) override
    {
        try {
            return QApplication::notify(Receiver, Event);
        } catch (const std::exception& Error) {
            QMessageBox::critical(activeWindow(), QStringLiteral("Error"),
                                  QString::fromUtf8(Error.what()));
        }
        return false;
    }
};

}  // namespace

int main(int argc, char** argv)
{
    // the engine refuses to run as root with its sandbox
    if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    zv::InitializeIniUtils();
    zv::RegisterNameSpaceSchemes();
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    TApplication App(argc, argv);
    App.setApplicationName(QStringLiteral("Zandovell"));
    int Result = 0;
    {
        zv::TFormMain Window;
        Window.show();
        Window.OpenCommandLine(App.arguments().mid(1));
        Result = App.exec();
    }
    zv::FinalizeIniUtils();
    return Result;
}
