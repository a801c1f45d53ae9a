#pragma once
// The large page the design view, main window and parser benchmarks open: the largest page of
// the corpus, its body repeated.
#include <fstream>
#include <iterator>
#include <string>
#if __has_include(<QByteArray>)
#include <QByteArray>
#endif

namespace zv::bench {

// The page at Bytes or a little more; empty when the corpus page cannot be read.
inline std::string LargePageText(std::size_t Bytes)
{
    std::ifstream In(ZV_BENCH_DATA "/corpus/nodejs_api_fs.html", std::ios::binary);
    const std::string Html((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    const std::size_t Body = Html.find("<body");
    const std::size_t Open = Body == std::string::npos ? Body : Html.find('>', Body);
    const std::size_t Close = Html.rfind("</body>");
    if (Open == std::string::npos || Close == std::string::npos || Close <= Open)
        return {};
    std::string Page = Html.substr(0, Open + 1);
    const std::string_view Content = std::string_view(Html).substr(Open + 1, Close - Open - 1);
    Page.reserve(Bytes + Content.size() + 16);
    while (Page.size() < Bytes)
        Page += Content;
    return Page + "</body></html>";
}

#if __has_include(<QByteArray>)
// A page of about 1 MB.
inline QByteArray LargePage()
{
    const std::string Page = LargePageText(1000000);
    return QByteArray(Page.data(), static_cast<qsizetype>(Page.size()));
}
#endif

}  // namespace zv::bench

namespace zv::bench {

// A page with one table of Rows rows of Columns cells, each with a little text, a link or an
// attribute, the way a data table exported from a spreadsheet looks.
inline std::string TablePageText(int Rows, int Columns)
{
    std::string Page = "<html><head><title>Table</title></head><body>\n<table border=\"1\" width=\"100%\">\n";
    for (int R = 0; R < Rows; ++R) {
        Page += "<tr>";
        for (int C = 0; C < Columns; ++C) {
            const std::string Cell = std::to_string(R) + "." + std::to_string(C);
            if (C % 5 == 1) Page += "<td align=right>" + Cell + "</td>";
            else if (C % 7 == 3) Page += "<td><a href=\"#r" + Cell + "\">" + Cell + "</a></td>";
            else Page += "<td>" + Cell + "</td>";
        }
        Page += "</tr>\n";
    }
    return Page + "</table>\n</body></html>";
}

}  // namespace zv::bench

namespace zv::bench {

// A page whose one paragraph carries Count attributes: <p a0="0" a1="1" ...>.
inline std::string AttributePageText(int Count)
{
    std::string Page = "<html><head><title>Attributes</title></head><body>\n<p";
    for (int I = 0; I < Count; ++I) {
        const std::string N = std::to_string(I);
        Page += " a" + N + "=\"" + N + "\"";
    }
    return Page + ">text</p>\n</body></html>\n";
}

}  // namespace zv::bench
