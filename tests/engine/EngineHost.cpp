#include "EngineHost.h"

#include <QApplication>
#include <QBuffer>
#include <QMouseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <gtest/gtest.h>

#include "NameSpace.h"
#include "support/PageDriver.h"

namespace zv::test {

namespace {

QByteArray Picture(int Width, int Height, QColor Color)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Color);
    QBuffer Buffer;
    Buffer.open(QIODevice::WriteOnly);
    Image.save(&Buffer, "PNG");
    return Buffer.data();
}

void WriteFile(const QString& Name, const QByteArray& Bytes)
{
    QFile File(Name);
    ASSERT_TRUE(File.open(QIODevice::WriteOnly)) << Name.toStdString();
    File.write(Bytes);
}

}  // namespace

namespace {
std::unique_ptr<TEngineHost>& Instance()
{
    static std::unique_ptr<TEngineHost> Host;
    return Host;
}
}  // namespace

TEngineHost& TEngineHost::Get()
{
    if (!Instance()) Instance().reset(new TEngineHost);
    return *Instance();
}

void TEngineHost::Release()
{
    Instance().reset();
    UnregisterNameSpace();
}

TEngineHost::TEngineHost()
{
    QDir(Root.path()).mkpath("doc/pics");
    WriteFile(Root.path() + "/doc/pics/red.png", Picture(12, 8, Qt::red));
    WriteFile(Root.path() + "/doc/pics/a b.png", Picture(6, 6, Qt::green));
    WriteFile(Root.path() + "/secret.png", Picture(9, 9, Qt::black));
    Register();
    FBrowser = std::make_unique<TWebBrowser>();
    FBrowser->resize(800, 600);
    FBrowser->show();
    FBrowser->activateWindow();
}

QString TEngineHost::Folder() const { return Root.path() + "/doc"; }

void TEngineHost::Register()
{
    RegisterNameSpace([this](QObject*, const WideString& Url, bool& Handled, int& Size,
                             TMemoryStream& Stream) {
        const QString Name = QString::fromStdU16String(Url);
        Requests.append(Name);
        QByteArray Bytes;
        if (Name.compare("idoc:index.html", Qt::CaseInsensitive) == 0) {
            Bytes = Document;
        } else if (Name.startsWith("idoc:")) {
            QFile File(Folder() + "/" + Name.mid(5));
            if (!File.open(QIODevice::ReadOnly)) return;
            Bytes = File.readAll();
        } else if (Name == "edit:trans.gif" || Name == "edit:empty.gif") {
            Bytes = Name == "edit:trans.gif" ? Picture(5, 4, Qt::blue) : QByteArray();
        } else {
            return;
        }
        Stream.WriteBuffer(Bytes.constData(), Bytes.size());
        Size = static_cast<int>(Bytes.size());
        Handled = true;
    });
}

bool TEngineHost::Load(const QString& BodyHtml)
{
    Document = ("<html><head><style>td { padding: 4px }</style></head>"
                "<body id=\"dsgn_:::_0\" contentEditable=\"TRUE\">" + BodyHtml + "</body></html>")
                   .toUtf8();
    Requests.clear();
    return FBrowser->Navigate(QUrl("idoc:index.html"));
}

QVariant TEngineHost::Eval(const QString& Script) { return PageEval(*FBrowser, Script); }

QString TEngineHost::BodyHtml()
{
    return QString::fromStdU16String(FBrowser->Document().body().outerHTML());
}

QPoint TEngineHost::Centre(const QString& Selector) { return PageCentre(*FBrowser, Selector); }

void TEngineHost::Click(const QPoint& Pos, Qt::MouseButton Button)
{
    EXPECT_TRUE(PageClick(*FBrowser, Pos, Button));
}

void TEngineHost::DoubleClick(const QPoint& Pos) { PageDoubleClick(*FBrowser, Pos); }

void TEngineHost::SelectText(const QString& Selector, int Start, int End)
{
    PageSelectText(*FBrowser, Selector, Start, End);
}

bool TEngineHost::WaitFor(const std::function<bool()>& Done, int TimeoutMs)
{
    return test::WaitFor(Done, TimeoutMs);
}

}  // namespace zv::test
