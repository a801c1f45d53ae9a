#include "ToolFields.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"

namespace zv {

WideString OpenedHtml(const TDesignObject& Object)
{
    WideString S = Object.Html;
    if (!S.empty() && S.back() == u' ') S.pop_back();
    return S;
}

WideString MemoLines(const QString& Text)
{
    QString S = Text;
    S.replace("\n", "\r\n");
    return ToWide(S);
}

}  // namespace zv
