#pragma once
// Test helpers that drive a page of the engine layer: scripts in the layer's world, clicks and
// text selections, waiting for the page.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QTimer>
#include <QMouseEvent>
#include <QPoint>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

#include "WebBrowser.h"
#include "support/WaitFor.h"

namespace zv::test {

// Evaluates a script in the layer's world, outside the layer.
inline QVariant PageEval(TWebBrowser& Browser, const QString& Script)
{
    auto Result = std::make_shared<std::pair<bool, QVariant>>();
    QEventLoop Loop;
    QPointer<QEventLoop> Waiting(&Loop);
    Browser.page()->runJavaScript(Script, QWebEngineScript::ApplicationWorld,
                                  [Result, Waiting](const QVariant& V) {
                                      *Result = {true, V};
                                      if (Waiting) Waiting->quit();
                                  });
    QTimer::singleShot(10000, &Loop, &QEventLoop::quit);
    if (!Result->first) Loop.exec();
    return Result->second;
}

// Waits until the page has drawn twice and every notice it sent before has arrived: a mouseout
// it reports after the second frame comes last.
inline bool WaitForFrames(TWebBrowser& Browser)
{
    bool Seen = false;
    const auto C = QObject::connect(&Browser, &TWebBrowser::PageEvent, [&](const TPageEvent& E) {
        Seen |= E.Type == "mouseout" && E.Tag == "BODY";
    });
    PageEval(Browser, "requestAnimationFrame(() => requestAnimationFrame(() =>"
                      " document.body.dispatchEvent(new MouseEvent('mouseout'))))");
    const bool Done = WaitFor([&] { return Seen; });
    QObject::disconnect(C);
    return Done;
}

// Viewport position of the middle of the first element matching a CSS selector.
inline QPoint PageCentre(TWebBrowser& Browser, const QString& Selector)
{
    const QVariantList R =
        PageEval(Browser, "(function(){ const e = document.querySelector('" + Selector +
                              "'); if (!e) return null; const r = e.getBoundingClientRect();"
                              " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
            .toList();
    EXPECT_EQ(R.size(), 2) << "no element " << Selector.toStdString();
    return QPoint(qRound(R.value(0).toDouble()), qRound(R.value(1).toDouble()));
}

// Viewport position of the caret place Offset characters into the first occurrence of Text in
// one text node of the page, scrolled into view: a click there puts the caret there.
inline QPoint PageTextPoint(TWebBrowser& Browser, const QString& Text, int Offset = 0)
{
    // where the keys sent before have moved it
    Browser.CallLayer(QStringLiteral("echoes"));
    const QVariantList R =
        PageEval(Browser, "(function(text, offset){ const w = document.createTreeWalker(document.body,"
                          " NodeFilter.SHOW_TEXT); for (let t = w.nextNode(); t; t = w.nextNode()) {"
                          " const k = t.data.indexOf(text); if (k < 0) continue;"
                          " t.parentElement.scrollIntoView({ block: 'nearest' });"
                          " const r = document.createRange(); r.setStart(t, k + offset); r.collapse(true);"
                          " const b = r.getClientRects()[0] || r.getBoundingClientRect();"
                          " return [b.left, b.top + b.height / 2]; } return null; })(" +
                              QString::fromUtf8(QJsonDocument(QJsonArray{Text}).toJson(QJsonDocument::Compact)).mid(1).chopped(1) +
                              ", " + QString::number(Offset) + ")")
            .toList();
    EXPECT_EQ(R.size(), 2) << "no text " << Text.toStdString();
    return QPoint(qRound(R.value(0).toDouble()), qRound(R.value(1).toDouble()));
}

// Clicks in the page (widget coordinates equal viewport pixels at zoom 1) and waits until the
// page has reported the release.
inline bool PageClick(TWebBrowser& Browser, const QPoint& Pos, Qt::MouseButton Button = Qt::LeftButton)
{
    bool Released = false;
    const auto C = QObject::connect(&Browser, &TWebBrowser::PageEvent,
                                    [&](const TPageEvent& E) { Released |= E.Type == "mouseup"; });
    QWidget* Proxy = Browser.focusProxy();
    QTest::mousePress(Proxy, Button, {}, Pos);
    QTest::mouseRelease(Proxy, Button, {}, Pos);
    const bool Done = WaitFor([&] { return Released; });
    QObject::disconnect(C);
    return Done;
}

// A double click as the window system sends it, its events 20 ms apart; each double click
// comes a second after the one before, so that two on one spot are not taken for a triple
// click.
inline void PageDoubleClick(TWebBrowser& Browser, const QPoint& Pos)
{
    static quint64 Stamp = 1000000;
    Stamp += 1000;
    QWidget* Proxy = Browser.focusProxy();
    const QPoint Global = Proxy->mapToGlobal(Pos);
    for (QEvent::Type Type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const Qt::MouseButtons Held =
            Type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
        QMouseEvent Event(Type, Pos, Global, Qt::LeftButton, Held, Qt::NoModifier);
        Event.setTimestamp(Stamp += 20);
        QApplication::sendEvent(Proxy, &Event);
    }
}

// Presses a key in the page as the keyboard does and waits until the page has seen it go up.
inline bool PageKey(TWebBrowser& Browser, Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier)
{
    bool Up = false;
    const auto C = QObject::connect(&Browser, &TWebBrowser::PageEvent,
                                    [&](const TPageEvent& E) { Up |= E.Type == "keyup"; });
    QTest::keyClick(Browser.focusProxy(), Key, Modifiers);
    const bool Done = WaitFor([&] { return Up; });
    QObject::disconnect(C);
    return Done;
}

// Puts a caret or a selection into the first text of the first element matching Selector.
inline void PageSelectText(TWebBrowser& Browser, const QString& Selector, int Start, int End)
{
    // keys sent before reach the page first, as they do before a selection made with the mouse
    Browser.CallLayer(QStringLiteral("echoes"));
    PageEval(Browser, "(function(){ const t = document.querySelector('" + Selector + "').firstChild;"
                      "const r = document.createRange(); r.setStart(t, " + QString::number(Start) +
                          ");"
                          "r.setEnd(t, " + QString::number(End) + "); const s = getSelection();"
                          "s.removeAllRanges(); s.addRange(r); })()");
}

// Types Text into the page and waits until the page has seen each key come up. A letter, digit
// or blank counts only as its own key: a key-up of an earlier key that arrives late (a busy
// machine) must not end the wait before the text is in.
inline bool PageType(TWebBrowser& Browser, const QString& Text)
{
    qsizetype Seen = 0;
    const auto C = QObject::connect(&Browser, &TWebBrowser::PageEvent, [&](const TPageEvent& E) {
        if (E.Type != "keyup" || Seen >= Text.size()) return;
        const QChar Ch = Text[Seen];
        const bool Plain = Ch.isLetterOrNumber() || Ch == u' ';
        if (!Plain || E.KeyCode == Ch.toUpper().unicode()) ++Seen;
    });
    QWidget* Proxy = Browser.focusProxy();
    for (QChar Ch : Text) QTest::keyClick(Proxy, Ch.toLatin1());
    const bool Done = WaitFor([&] { return Seen == Text.size(); });
    QObject::disconnect(C);
    return Done;
}

}  // namespace zv::test
