#pragma once
// One browser shared by the engine tests: it shows documents served from memory as
// "idoc:index.html", files of a temporary document folder as "idoc:" + path, and generated
// pictures as "edit:" + name + ".gif".

#include <QPoint>
#include <ostream>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <memory>
#include <string>

#include "WebBrowser.h"

namespace zv::test {

class TEngineHost {
public:
    static TEngineHost& Get();
    // Ends the browser before the application object goes.
    static void Release();

    TWebBrowser& Browser() { return *FBrowser; }
    // The folder served under "idoc:"; it has a subfolder "pics" with red.png and "a b.png",
    // and its parent holds secret.png.
    QString Folder() const;
    // Installs the namespace callback (again).
    void Register();
    // Shows a page whose editable body holds BodyHtml; false when it did not load.
    bool Load(const QString& BodyHtml);
    // The URLs the callback was asked for since the last Load.
    QStringList Requests;

    // Evaluates a script in the layer's world, outside the layer.
    QVariant Eval(const QString& Script);
    // The body's markup as the layer hands it back.
    QString BodyHtml();
    // Viewport position of the middle of the first element matching a CSS selector.
    QPoint Centre(const QString& Selector);
    // Clicks in the page (widget coordinates equal viewport pixels at zoom 1) and waits until
    // the page has handled it.
    void Click(const QPoint& Pos, Qt::MouseButton Button = Qt::LeftButton);
    // A double click as the window system sends it.
    void DoubleClick(const QPoint& Pos);
    // Puts a caret or a selection into the text of the first element matching Selector.
    void SelectText(const QString& Selector, int Start, int End);
    // Lets the engine process input and notifications until Done holds or time runs out.
    bool WaitFor(const std::function<bool()>& Done, int TimeoutMs = 5000);

private:
    TEngineHost();
    QTemporaryDir Root;
    QByteArray Document;
    std::unique_ptr<TWebBrowser> FBrowser;
};

}  // namespace zv::test

// Readable QString values in test failures.
inline void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }
