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

QVariant TEngineHost::Eval(const QString& Script)
{
    auto Result = std::make_shared<std::pair<bool, QVariant>>();
    FBrowser->page()->runJavaScript(Script, QWebEngineScript::ApplicationWorld,
                                    [Result](const QVariant& V) { *Result = {true, V}; });
    WaitFor([&] { return Result->first; });
    return Result->second;
}

QString TEngineHost::BodyHtml()
{
    return QString::fromStdU16String(FBrowser->Document().body().outerHTML());
}

QPoint TEngineHost::Centre(const QString& Selector)
{
    const QVariantList R = Eval("(function(){ const r = document.querySelector('" + Selector +
                                "').getBoundingClientRect(); return [r.left + r.width / 2, "
                                "r.top + r.height / 2]; })()")
                               .toList();
    return QPoint(qRound(R.value(0).toDouble()), qRound(R.value(1).toDouble()));
}

void TEngineHost::Click(const QPoint& Pos, Qt::MouseButton Button)
{
    // done once the page has reported the release
    bool Released = false;
    const auto C = QObject::connect(FBrowser.get(), &TWebBrowser::PageEvent,
                                    [&](const TPageEvent& E) { Released |= E.Type == "mouseup"; });
    QWidget* Proxy = FBrowser->focusProxy();
    QTest::mousePress(Proxy, Button, {}, Pos);
    QTest::mouseRelease(Proxy, Button, {}, Pos);
    EXPECT_TRUE(WaitFor([&] { return Released; }));
    QObject::disconnect(C);
}

void TEngineHost::DoubleClick(const QPoint& Pos)
{
    QWidget* Proxy = FBrowser->focusProxy();
    const QPoint Global = Proxy->mapToGlobal(Pos);
    for (QEvent::Type Type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons Held =
            Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent Event(Type, Pos, Global, Qt::LeftButton, Held, Qt::NoModifier);
        QApplication::sendEvent(Proxy, &Event);
    }
}

void TEngineHost::SelectText(const QString& Selector, int Start, int End)
{
    Eval("(function(){ const t = document.querySelector('" + Selector + "').firstChild;"
         "const r = document.createRange(); r.setStart(t, " + QString::number(Start) + ");"
         "r.setEnd(t, " + QString::number(End) + "); const s = getSelection();"
         "s.removeAllRanges(); s.addRange(r); })()");
}

bool TEngineHost::WaitFor(const std::function<bool()>& Done, int TimeoutMs)
{
    return QTest::qWaitFor(Done, TimeoutMs);
}

}  // namespace zv::test
