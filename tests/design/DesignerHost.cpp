#include "DesignerHost.h"

#include <QTest>

#include "NameSpace.h"

namespace zv::test {

namespace {
std::unique_ptr<TDesignerHost>& Instance()
{
    static std::unique_ptr<TDesignerHost> Host;
    return Host;
}
}  // namespace

TDesignerHost& TDesignerHost::Get()
{
    if (!Instance()) Instance().reset(new TDesignerHost);
    return *Instance();
}

void TDesignerHost::Release() { Instance().reset(); }

TDesignerHost::TDesignerHost() : FDesigner(std::make_unique<THtmlDesigner>())
{
    FDesigner->SetGenerator("Zandovell v1.00");
    // every request is recorded, then answered by the designer
    THtmlDesigner* D = FDesigner.get();
    RegisterNameSpace(
        [this, D](QObject* Sender, const WideString& Url, bool& Handled, int& Size,
                  TMemoryStream& Stream) {
            Requests.append(QString::fromStdU16String(Url));
            if (Refuse && Refuse(Requests.back())) return;
            D->NameSpaceRequest(Sender, Url, Handled, Size, Stream);
        },
        D->page()->profile());
    FDesigner->resize(800, 600);
    FDesigner->show();
    FDesigner->activateWindow();
}

bool TDesignerHost::LoadBody(const std::string& BodyHtml)
{
    Requests.clear();
    try {
        FDesigner->SetHtml(Utf8ToUtf16("<html><head><title>Test</title></head><body>" + BodyHtml +
                                       "</body></html>"));
    } catch (const std::exception&) {
        return false;
    }
    WaitForPictures();
    return FDesigner->HasDocument();
}

void TDesignerHost::WaitForPictures()
{
    WaitFor([&] { return Eval("[...document.images].every(i => i.complete)").toBool(); });
}

void TDesignerHost::LoadFile(const std::string& Name, const std::string& Html)
{
    WriteAll(Dir / Name, Html);
    Requests.clear();
    FDesigner->LoadFromFile(Dir / Name);
    WaitForPictures();
}

QString TDesignerHost::BodyHtml()
{
    return QString::fromStdU16String(FDesigner->Document().body().outerHTML());
}

std::string TDesignerHost::DesignId(const QString& Selector, int Index)
{
    return Eval(QString("(function(){ const e = document.querySelectorAll('%1')[%2];"
                        " return e ? e.id : ''; })()")
                    .arg(Selector)
                    .arg(Index))
        .toString()
        .toStdString();
}

void TDesignerHost::Type(const QString& Text)
{
    EXPECT_TRUE(PageType(*FDesigner, Text)) << "typing " << Text.toStdString();
}

}  // namespace zv::test
