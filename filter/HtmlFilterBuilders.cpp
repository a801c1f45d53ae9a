// New placeholders for the tag tools, and the operations on the stored node behind one.

#include "HtmlFilter.h"
#include "HtmlFilterHelpers.h"

namespace zv {

using namespace filter;

namespace {

// A placeholder of an element without a size of its own; resizing it is cancelled.
WideString CompletePlaceholder(const WideString& Id, std::u16string_view Picture)
{
    WideString Html = u"<img id=\"";
    Html += Id;
    Html += u"\" src=\"edit:";
    Html += Picture;
    Html += u"\" onResize=\"cancelEvent()\">";
    return Html;
}

// The start of the placeholder of an object shown at its own size over its class's picture.
WideString OpenObjectPlaceholder(const WideString& Id, WideStringView ClassName)
{
    WideString Html = u"<img id=\"";
    Html += Id;
    Html += u"\" src=\"";
    Html += TransparentSrc;
    Html += u"\" onResizeEnd=\"";
    Html += ReportResize;
    Html += u"\" class=\"";
    Html += ClassName;
    Html += u"\" ";
    return Html;
}

const char16_t* TrueOrEmpty(bool Value) { return Value ? u"TRUE" : u""; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Complete placeholders

WideString THtmlFilter::NewAnchorPlaceholder(WideStringView Name)
{
    auto Node = std::make_unique<THtmlTag>(tagA);
    Node->SetAttribute(attrName, Name);
    return CompletePlaceholder(AddObject(std::move(Node)), u"anchor.gif");
}

WideString THtmlFilter::NewCommentPlaceholder(WideStringView Text)
{
    return CompletePlaceholder(AddObject(std::make_unique<THtmlText>(tagComment, Text)),
                               u"comment.gif");
}

WideString THtmlFilter::NewScriptPlaceholder(WideStringView Type, WideStringView Text, bool Defer)
{
    auto Node = std::make_unique<THtmlTag>(tagScript);
    Node->SetAttribute(attrType, Type);
    Node->SetAttribute(attrDefer, TrueOrEmpty(Defer));
    if (!Text.empty())
        Node->AddLast(new THtmlText(tagComment, Text));
    return CompletePlaceholder(AddObject(std::move(Node)), u"script.gif");
}

WideString THtmlFilter::NewScriptFilePlaceholder(WideStringView Src, WideStringView Type,
                                                 bool Defer, WideStringView Charset)
{
    auto Node = std::make_unique<THtmlTag>(tagScript);
    Node->SetAttribute(attrSrc, Src);
    Node->SetAttribute(attrType, Type);
    Node->SetAttribute(attrCharset, Charset);
    Node->SetAttribute(attrDefer, TrueOrEmpty(Defer));
    return CompletePlaceholder(AddObject(std::move(Node)), u"scriptfile.gif");
}

WideString THtmlFilter::NewBgSoundPlaceholder(WideStringView Src, int Loop, bool AutoStart)
{
    auto Node = std::make_unique<THtmlTag>(tagBgSound);
    Node->SetAttribute(attrSrc, Src);
    Node->SetAttribute(attrLoop, IntToWide(Loop));
    Node->SetAttribute(attrAutostart, TrueOrEmpty(AutoStart));
    return CompletePlaceholder(AddObject(std::move(Node)), u"bgsound.gif");
}

WideString THtmlFilter::NewHiddenInputPlaceholder(WideStringView Name, WideStringView Value)
{
    auto Node = std::make_unique<THtmlTag>(tagInput);
    Node->SetAttribute(attrType, u"hidden");
    Node->SetAttribute(attrName, Name);
    Node->SetAttribute(attrValue, Value);
    return CompletePlaceholder(AddObject(std::move(Node)), u"hidden.gif");
}

// ---------------------------------------------------------------------------------------------
// Open placeholders

TDesignObject THtmlFilter::NewImageObject(WideStringView Src)
{
    auto Node = std::make_unique<THtmlTag>(tagImg);
    Node->SetAttribute(attrSrc, Src);
    return NewImage(std::move(Node), Src);
}

TDesignObject THtmlFilter::NewImageInputObject(WideStringView Src, WideStringView Name)
{
    auto Node = std::make_unique<THtmlTag>(tagInput);
    Node->SetAttribute(attrType, u"image");
    Node->SetAttribute(attrName, Name);
    Node->SetAttribute(attrSrc, Src);
    return NewImage(std::move(Node), Src);
}

TDesignObject THtmlFilter::NewImage(std::unique_ptr<THtmlTag> Node, WideStringView Src)
{
    TDesignObject Result;
    WideString ClassName, DesignSrc;
    ClassifyImageSrc(Src, ClassName, DesignSrc);
    Result.Node = Node.get();
    Result.Id = AddObject(std::move(Node));
    Result.Html = u"<img id=\"" + Result.Id + u"\" src=\"" + DesignSrc + u"\" ";
    if (!ClassName.empty())
        Result.Html += u"class=\"" + ClassName + u"\" ";
    return Result;
}

TDesignObject THtmlFilter::NewObject(std::unique_ptr<THtmlTag> Node, WideStringView ClassName)
{
    TDesignObject Result;
    Result.Node = Node.get();
    Result.Id = AddObject(std::move(Node));
    Result.Html = OpenObjectPlaceholder(Result.Id, ClassName);
    return Result;
}

TDesignObject THtmlFilter::NewObjectObject(WideStringView ClassId)
{
    auto Node = std::make_unique<THtmlTag>(tagObject);
    Node->SetAttribute(attrClassid, ClassId);
    return NewObject(std::move(Node), ObjectDesignClass(ClassId));
}

TDesignObject THtmlFilter::NewMarqueeObject(WideStringView Text)
{
    auto Node = std::make_unique<THtmlTag>(tagMarquee);
    if (!Text.empty())
        Node->AddLast(new THtmlText(tagText, Text));
    return NewObject(std::move(Node), u"dsgn_marquee");
}

TDesignObject THtmlFilter::NewAppletObject()
{
    return NewObject(std::make_unique<THtmlTag>(tagApplet), u"dsgn_applet");
}

TDesignObject THtmlFilter::NewActiveXObject()
{
    return NewObject(std::make_unique<THtmlTag>(tagObject), u"dsgn_activex");
}

TDesignObject THtmlFilter::NewTableObject(WideStringView Border)
{
    auto Node = std::make_unique<THtmlTag>(tagTable);
    Node->SetAttribute(attrBorder, Border);
    TDesignObject Result;
    Result.Node = Node.get();
    Result.Id = AddObject(std::move(Node));
    Result.Html = u"<table id=\"" + Result.Id + u"\" ";
    if (Border.empty() || Border == u"0")
        Result.Html += u"class=\"dsgn_layout\" ";
    return Result;
}

// ---------------------------------------------------------------------------------------------
// Stored nodes

void THtmlFilter::SetImageSrc(WideStringView Id, WideStringView Src, WideString& DesignSrc,
                              WideString& ClassName)
{
    if (THtmlTag* Stored = AsTag(FindObject(Id)))
        Stored->SetAttribute(attrSrc, Src);
    ClassifyImageSrc(Src, ClassName, DesignSrc);
}

void THtmlFilter::SetObjectSize(WideStringView Id, WideStringView Width, WideStringView Height)
{
    if (THtmlTag* Stored = AsTag(FindObject(Id))) {
        Stored->SetAttribute(attrWidth, Width);
        Stored->SetAttribute(attrHeight, Height);
    }
}

void THtmlFilter::GetMapNames(TWideStrings& Strings) const
{
    Strings.Clear();
    if (!FRoot)
        return;
    // the stored nodes of the tree's design elements: nodes of a document replaced in place
    // stay stored for undo, but are not the document's
    std::vector<bool> Shown(FObjects.size());
    for (TLinkNode* N = FRoot->NextInTree(nullptr); N; N = FRoot->NextInTree(N))
        if (const THtmlTag* Tag = AsTag(static_cast<THtmlNode*>(N)))
            if (const int Index = IndexOfId(Tag->AttributeValue(attrId)); Index >= 0 && Index < ObjectCount())
                Shown[Index] = true;
    for (size_t K = 0; K < FObjects.size(); ++K) {
        auto* Map = dynamic_cast<const THtmlTag*>(FObjects[K].Node.get());
        if (!Shown[K] || !Map || Map->Kind() != tagMap)
            continue;
        const WideString Name = Map->GetAttribute(attrName);
        if (!Name.empty())
            Strings.Add(u"#" + Name);
    }
}

THtmlTag* THtmlFilter::FindObjectParam(const THtmlTag* ObjectNode, WideStringView Name)
{
    for (THtmlNode* N = ObjectNode ? ObjectNode->FirstNode() : nullptr; N; N = N->NextNode()) {
        auto* Param = dynamic_cast<THtmlTag*>(N);
        if (Param && Param->Kind() == tagParam &&
            SameTextAscii(Param->GetAttribute(attrName), Name))
            return Param;
    }
    return nullptr;
}

WideString THtmlFilter::GetObjectParam(const THtmlTag* ObjectNode, WideStringView Name)
{
    const THtmlTag* Param = FindObjectParam(ObjectNode, Name);
    return Param ? Param->GetAttribute(attrValue) : WideString();
}

void THtmlFilter::SetObjectParam(THtmlTag* ObjectNode, WideStringView Name,
                                 WideStringView DefaultValue, WideStringView Value)
{
    if (!ObjectNode)
        return;
    THtmlTag* Param = FindObjectParam(ObjectNode, Name);
    if (Value.empty() || SameTextAscii(Value, DefaultValue)) {
        delete Param;  // unlinks itself
        return;
    }
    if (!Param) {
        Param = new THtmlTag(tagParam);
        ObjectNode->AddLast(Param);
    }
    Param->SetAttribute(attrName, Name);
    Param->SetAttribute(attrValue, Value);
}

}  // namespace zv
