#include "ToolScriptFile.h"

#include "FieldState.h"
#include "HtmlCharsets.h"
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
    const THtmlTag* Node = TagOfKind(StoredNode(Element), tagScript);
    return Node && !Node->AttributeValue(attrSrc).empty();
}

TFormToolScriptFile::TFormToolScriptFile(QWidget* Parent) : TFormTool(Parent)
{
    Form->ComboCharset->clear();
    for (const char* Name : CharsetDisplayNames) Form->ComboCharset->addItem(QString::fromLatin1(Name));
    RegisterBrowseButton(Form->EditSrc, Form->BtnSrc, 13);
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
    Form->EditSrc->clear();
    Form->ComboCharset->setCurrentIndex(-1);
    Form->ComboCharset->setCurrentText(QString());
    Form->CheckDefer->setChecked(false);
    if (const THtmlTag* Node = TagOfKind(StoredNode(), tagScript)) {
        Form->EditSrc->setText(ToQString(Node->GetAttribute(attrSrc)));
        Form->ComboCharset->setCurrentText(
            QString::fromStdString(DisplayFromCode(Utf16ToUtf8(Node->GetAttribute(attrCharset)))));
        Form->CheckDefer->setChecked(Node->GetAttribute(attrDefer) == u"TRUE");
    }
    Shown = DialogFieldState(this);
}

void TFormToolScriptFile::GetHTML(WideString& S)
{
    const WideString Src = ToWide(Form->EditSrc->text());
    S = Designer->Filter->NewScriptFilePlaceholder(EscapeStoredValue(Src), ScriptTypeOfFile(Src),
                                                   Form->CheckDefer->isChecked(), Charset());
}

void TFormToolScriptFile::Apply()
{
    THtmlTag* Node = TagOfKind(StoredNode(), tagScript);
    if (!Node || DialogFieldState(this) == Shown) return;
    const WideString Src = ToWide(Form->EditSrc->text());
    SetStoredAttr(*Node, attrSrc, Src);
    SetStoredAttr(*Node, attrType, ScriptTypeOfFile(Src));
    SetStoredAttr(*Node, attrCharset, Charset());
    SetStoredAttr(*Node, attrDefer, Form->CheckDefer->isChecked() ? u"TRUE" : u"");
}

}  // namespace zv
