#include "ToolScriptFile.h"

#include "HtmlCharsets.h"
#include "HtmlEntities.h"
#include "HtmlFilter.h"
#include "HtmlNodes.h"
#include "ui_ToolScriptFile.h"

namespace zv {

WideString ScriptTypeOfFile(WideStringView FileName)
{
    const size_t Dot = FileName.rfind(u'.');
    const WideStringView Extension = Dot == WideStringView::npos ? WideStringView() : FileName.substr(Dot);
    if (SameTextAscii(Extension, u".js")) return u"text/javascript";
    if (SameTextAscii(Extension, u".vbs")) return u"text/vbscript";
    return {};
}

bool TToolScriptFile::CanEdit(const THtmlElement& Element)
{
    const THtmlTag* Node = TagOfKind(StoredNode(Designer, Element), tagScript);
    return Node && !Node->AttributeValue(attrSrc).empty();
}

namespace {

// the type follows the file's extension, and the character set is shown by its display name
const TField Fields[] = {
    {"EditSrc", "src", TFieldKind::Url, TFieldHome::Stored, nullptr, nullptr, nullptr, "BtnSrc", 13},
    {"CheckDefer", "defer", TFieldKind::Boolean, TFieldHome::Stored, nullptr, u"TRUE"},
};

}  // namespace

TFormToolScriptFile::TFormToolScriptFile(QWidget* Parent) : TFormTool(Parent)
{
    Form->ComboCharset->clear();
    for (const char* Name : CharsetDisplayNames) Form->ComboCharset->addItem(QString::fromLatin1(Name));
    UseFields("script", {Fields});
    connect(Form->Button3, &QPushButton::clicked, this, &TFormToolScriptFile::Button3Click);
}

TFormToolScriptFile::~TFormToolScriptFile() = default;

void TFormToolScriptFile::Button3Click() { Form->ComboCharset->setCurrentIndex(116); }

WideString TFormToolScriptFile::Charset() const
{
    return Latin1ToUtf16(CodeFromDisplay(Form->ComboCharset->currentText().toStdString()));
}

void TFormToolScriptFile::FormShow()
{
    ShowFields();
    Form->ComboCharset->setCurrentIndex(-1);
    Form->ComboCharset->setCurrentText(QString());
    if (const THtmlTag* Node = TagOfKind(StoredNode(Designer, Element), tagScript))
        Form->ComboCharset->setCurrentText(
            QString::fromStdString(DisplayFromCode(Utf16ToUtf8(Node->GetAttribute(attrCharset)))));
}

void TFormToolScriptFile::GetHTML(WideString& S)
{
    const WideString Src = ToWide(Form->EditSrc->text());
    S = Designer->Filter->NewScriptFilePlaceholder(FieldToMarkup(Src, TMarkupPlace::Value), ScriptTypeOfFile(Src),
                                                   Form->CheckDefer->isChecked(), Charset());
}

void TFormToolScriptFile::Apply()
{
    THtmlTag* Node = TagOfKind(StoredNode(Designer, Element), tagScript);
    if (!Node) return;
    const bool Src = FieldChanged(Form->EditSrc);
    ApplyFields();
    if (Src) SetStoredAttr(*Node, attrType, ScriptTypeOfFile(ToWide(Form->EditSrc->text())));
    if (FieldChanged(Form->ComboCharset)) SetStoredAttr(*Node, attrCharset, Charset());
}

}  // namespace zv
