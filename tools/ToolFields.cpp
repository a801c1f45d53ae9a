#include "ToolFields.h"

#include "HtmlFilter.h"
#include "HtmlNodes.h"

namespace zv {

WideString EscapeStoredText(WideStringView Text)
{
    WideString Out;
    Out.reserve(Text.size());
    for (const char16_t C : Text) {
        if (C == u'<') Out += u"&lt;";
        else Out += C;
    }
    return Out;
}

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
