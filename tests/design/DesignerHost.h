#pragma once
// One design view shared by the design tests, with a document folder of its own and a record
// of what the page asked the namespace for.

#include <QStringList>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "HtmlDesigner.h"
#include "support/PageDriver.h"
#include "support/TempFiles.h"

namespace zv::test {

class TDesignerHost {
public:
    static TDesignerHost& Get();
    // Ends the designer before the application object goes.
    static void Release();

    THtmlDesigner& Designer() { return *FDesigner; }
    // A folder for documents, emptied for each test that asks.
    const TempDir& Folder() const { return Dir; }
    // The URLs the page asked for since the last load.
    QStringList Requests;
    // Requests for which this answers true fail.
    std::function<bool(const QString& Url)> Refuse;

    // Shows a page with BodyHtml as its body (no file); false when it did not load.
    bool LoadBody(const std::string& BodyHtml);
    // Writes Html into the folder as Name and opens it.
    void LoadFile(const std::string& Name, const std::string& Html);
    // Waits until the page's pictures have loaded or failed.
    void WaitForPictures();
    // The body's markup as the engine hands it back.
    QString BodyHtml();
    // Id of the design element that stands for the n-th element of Kind (a tag name) in the
    // page, counted from 0 ("img", 2); empty when there is none.
    std::string DesignId(const QString& Selector, int Index = 0);

    QVariant Eval(const QString& Script) { return PageEval(*FDesigner, Script); }
    QPoint Centre(const QString& Selector) { return PageCentre(*FDesigner, Selector); }
    bool Click(const QPoint& Pos, Qt::MouseButton Button = Qt::LeftButton)
    {
        return PageClick(*FDesigner, Pos, Button);
    }
    void SelectText(const QString& Selector, int Start, int End)
    {
        PageSelectText(*FDesigner, Selector, Start, End);
    }
    // Types Text into the page, one key at a time, and waits until the page saw the last one.
    void Type(const QString& Text);

private:
    TDesignerHost();
    TempDir Dir;
    std::unique_ptr<THtmlDesigner> FDesigner;
};

}  // namespace zv::test

// Readable QString values in test failures.
inline void PrintTo(const QString& Text, std::ostream* Out) { *Out << '"' << Text.toStdString() << '"'; }
