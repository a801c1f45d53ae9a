#pragma once
// The large page the design view and main window benchmarks open.
#include <QByteArray>
#include <QFile>

namespace zv::bench {

// A page of about 1 MB: the largest page of the corpus, its body repeated.
inline QByteArray LargePage()
{
    QFile File(ZV_BENCH_DATA "/corpus/nodejs_api_fs.html");
    if (!File.open(QIODevice::ReadOnly)) return {};
    const QByteArray Html = File.readAll();
    const qsizetype Open = Html.indexOf('>', Html.indexOf("<body")) + 1;
    const qsizetype Close = Html.lastIndexOf("</body>");
    if (Open <= 0 || Close < Open) return {};
    QByteArray Page = Html.left(Open);
    while (Page.size() < 1000000) Page += Html.mid(Open, Close - Open);
    return Page + "</body></html>";
}

}  // namespace zv::bench

namespace zv::bench {

// A page of at least Bytes bytes: the large page's body repeated.
inline QByteArray SizedPage(qsizetype Bytes)
{
    const QByteArray Large = LargePage();
    const qsizetype Open = Large.indexOf('>', Large.indexOf("<body")) + 1;
    const qsizetype Close = Large.lastIndexOf("</body>");
    if (Open <= 0 || Close < Open) return {};
    const QByteArray Body = Large.mid(Open, Close - Open);
    QByteArray Page = Large.left(Open);
    Page.reserve(Bytes + Body.size() + 16);
    while (Page.size() < Bytes) Page += Body;
    return Page + "</body></html>";
}

// A page with one table of Rows rows of Columns cells, each with a little text, a link or an
// attribute, the way a data table exported from a spreadsheet looks.
inline QByteArray TablePage(int Rows, int Columns)
{
    QByteArray Page = "<html><head><title>Table</title></head><body>\n<table border=\"1\" width=\"100%\">\n";
    for (int R = 0; R < Rows; ++R) {
        Page += "<tr>";
        for (int C = 0; C < Columns; ++C) {
            const QByteArray Cell = QByteArray::number(R) + "." + QByteArray::number(C);
            if (C % 5 == 1) Page += "<td align=right>" + Cell + "</td>";
            else if (C % 7 == 3) Page += "<td><a href=\"#r" + Cell + "\">" + Cell + "</a></td>";
            else Page += "<td>" + Cell + "</td>";
        }
        Page += "</tr>\n";
    }
    return Page + "</table>\n</body></html>";
}

}  // namespace zv::bench
