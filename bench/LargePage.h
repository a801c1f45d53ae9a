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
