#include "HtmlFilter.h"

#include <sys/stat.h>

#include <algorithm>
#include <climits>

#include "Exceptions.h"
#include "HtmlConv.h"
#include "HtmlEntities.h"
#include "HtmlFilterHelpers.h"
#include "HtmlParser.h"
#include "HtmlWriter.h"
#include "NodeArena.h"
#include "Streams.h"

namespace zv {

using namespace filter;

namespace {

// The page attributes of a body that the design page shows.
constexpr std::initializer_list<THtmlAttrId> BodyPageAttributes = {
    attrBackground, attrBgcolor,    attrText,      attrLink,        attrVlink,
    attrAlink,      attrLeftmargin, attrTopmargin, attrRightmargin, attrBottommargin,
};

// One rule of the design style sheet: the picture that a design class shows behind a
// transparent image, centred once.
WideString PictureRule(std::u16string_view ClassName, std::u16string_view Picture)
{
    WideString Rule = u".";
    Rule += ClassName;
    Rule += u" {\r\n  background-image: url(edit:";
    Rule += Picture;
    Rule += u".gif);\r\n  background-repeat: no-repeat;\r\n  background-position: center;\r\n"
            u"  background-color: #eee;\r\n}\r\n";
    return Rule;
}

WideString MakeDesignHead()
{
    WideString Head = u"<html>\r\n<head>\r\n<style>\r\n"
                      u"pre {\r\n  background-color: #eee;\r\n  border: solid #ccc 1px;\r\n"
                      u"  margin-left: 50px;\r\n}\r\n"
                      u"form {\r\n  border: dotted red 1px;\r\n}\r\n";
    Head += PictureRule(u"dsgn_applet", u"applet");
    Head += PictureRule(u"dsgn_flash", u"flash");
    Head += PictureRule(u"dsgn_mplayer", u"mplayer");
    Head += PictureRule(u"dsgn_quicktime", u"quicktime");
    Head += PictureRule(u"dsgn_real", u"real");
    Head += PictureRule(u"dsgn_activex", u"activex");
    Head += PictureRule(u"dsgn_marquee", u"marquee");
    Head += u".dsgn_broken {\r\n  background-image: url(edit:broken.gif);\r\n"
            u"  background-color: #eee;\r\n}\r\n";
    Head += PictureRule(u"dsgn_remote", u"remote");
    Head += PictureRule(u"dsgn_absolute", u"absolute");
    // a placeholder or picture without a size of its own would show as one pixel
    Head += u"img[class^=dsgn_]:not([width]):not([style]) {\r\n  min-width: 32px;\r\n}\r\n"
            u"img[class^=dsgn_]:not([height]):not([style]) {\r\n  min-height: 32px;\r\n}\r\n";
    Head += u".dsgn_layout, .dsgn_layout td {\r\n  border: dotted silver 1px;\r\n}\r\n"
            u"</style>\r\n"
            u"<script type=\"text/javascript\">\r\n<!--\r\n"
            u"function cancelEvent(event){\r\n  event.returnValue = false;\r\n"
            u"  event.cancelBubble = true;\r\n  return false;\r\n}\r\n-->\r\n</script>\r\n"
            u"</head>\r\n";
    return Head;
}

const WideString& DesignHead()
{
    static const WideString Head = MakeDesignHead();
    return Head;
}

// The placeholder picture of a node that the design page cannot show.
const char16_t* PlaceholderPicture(const THtmlNode* Node)
{
    switch (Node->Kind()) {
    case tagComment: return u"comment.gif";
    case tagPhp: return u"php.gif";
    case tagAsp: return u"asp.gif";
    case tagScript: {
        auto* Tag = dynamic_cast<const THtmlTag*>(Node);
        return Tag && !Tag->AttributeValue(attrSrc).empty() ? u"scriptfile.gif" : u"script.gif";
    }
    case tagMap: return u"map.gif";
    case tagEmbed: return u"embed.gif";
    case tagIsIndex: return u"isindex.gif";
    case tagBaseFont: return u"basefont.gif";
    case tagNoScript: return u"noscript.gif";
    case tagNoFrames: return u"noframes.gif";
    case tagBgSound: return u"bgsound.gif";
    case tagInput: return u"hidden.gif";
    case tagA: return u"anchor.gif";
    default: return u"unknown.gif";
    }
}

bool IsInputOfType(const THtmlTag* Tag, std::u16string_view Type)
{
    return Tag->Kind() == tagInput && SameTextAscii(Tag->AttributeValue(attrType), Type);
}

// Records a tag's attribute ids in list order, and the names of its unknown ones.
void KeepAttributeOrder(const THtmlTag* Tag, std::vector<THtmlAttrId>& Order,
                        std::vector<WideString>& UnknownNames)
{
    const int N = Tag->GetAttributeCount();
    Order.reserve(N);
    for (int I = 0; I < N; ++I) {
        const THtmlAttrId Id = Tag->GetAttributeId(I);
        Order.push_back(Id);
        if (Id == attrUnknown) {
            const WideStringView Text = Tag->AttributeText(I);
            UnknownNames.emplace_back(Text.substr(0, UnknownNameEnd(Text)));
        }
    }
}

// "file://" URL of a local path, with everything but unreserved characters and "/" escaped.
WideString FileUrl(const std::string& Path)
{
    static const char Hex[] = "0123456789ABCDEF";
    std::string Url = "file://";
    for (unsigned char C : Path) {
        if ((C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || (C >= '0' && C <= '9') ||
            C == '/' || C == '-' || C == '.' || C == '_' || C == '~') {
            Url += static_cast<char>(C);
        } else {
            Url += '%';
            Url += Hex[C >> 4];
            Url += Hex[C & 15];
        }
    }
    return Latin1ToUtf16(Url);
}

}  // namespace

WideString filter::ObjectDesignClass(WideStringView ClassId)
{
    if (SameTextAscii(ClassId, u"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000"))
        return u"dsgn_flash";
    if (SameTextAscii(ClassId, u"clsid:6BF52A52-394A-11D3-B153-00C04F79FAA6") ||
        SameTextAscii(ClassId, u"clsid:22D6F312-B0F6-11D0-94AB-0080C74C7E95"))
        return u"dsgn_mplayer";
    if (SameTextAscii(ClassId, u"clsid:02BF25D5-8C17-4B23-BC80-D3488ABDDC6B"))
        return u"dsgn_quicktime";
    if (SameTextAscii(ClassId, u"clsid:CFCDAA03-8BE4-11cf-B84B-0020AFBBCCFA"))
        return u"dsgn_real";
    return u"dsgn_activex";
}

// ---------------------------------------------------------------------------------------------
// The object list and design ids

THtmlFilter::~THtmlFilter() { Clear(); }

THtmlNode* THtmlFilter::Object(int Index) const
{
    if (Index < 0 || Index >= ObjectCount())
        return nullptr;
    return FObjects[Index].Node.get();
}

WideString THtmlFilter::NextId() const
{
    WideString Id(IdPrefix);
    Id += IntToWide(ObjectCount());
    return Id;
}

WideString THtmlFilter::AddObject(std::unique_ptr<THtmlNode> Node)
{
    WideString Id = NextId();
    FObjects.push_back({std::move(Node), {}});
    return Id;
}

int THtmlFilter::IndexOfId(WideStringView Id)
{
    if (Id.substr(0, IdPrefix.size()) != IdPrefix || Id.size() == IdPrefix.size())
        return -1;
    int64_t Value = 0;
    for (char16_t C : Id.substr(IdPrefix.size())) {
        if (C < u'0' || C > u'9')
            return -1;
        Value = Value * 10 + (C - u'0');
        if (Value > INT_MAX)
            return -1;
    }
    return static_cast<int>(Value);
}

THtmlNode* THtmlFilter::FindObject(WideStringView Id) const { return Object(IndexOfId(Id)); }

std::shared_ptr<const THtmlNode> THtmlFilter::CopyObject(WideStringView Id) const
{
    const THtmlNode* Node = FindObject(Id);
    if (!Node) return nullptr;
    const TNodeHeapScope Heap;
    return std::shared_ptr<const THtmlNode>(CopyOf(Node));
}

void THtmlFilter::RestoreObject(WideStringView Id, const THtmlNode& Copy)
{
    THtmlNode* Node = FindObject(Id);
    if (!Node || Node->Kind() != Copy.Kind()) return;
    const TNodeHeapScope Heap;
    Node->Assign(&Copy);
}

WideString THtmlFilter::AddObjectCopy(const THtmlNode& Node)
{
    std::unique_ptr<THtmlNode> Copy;
    {
        const TNodeHeapScope Heap;
        Copy.reset(CopyOf(&Node));
    }
    return AddObject(std::move(Copy));
}

std::shared_ptr<const THtmlNode> THtmlFilter::CopyHead() const
{
    if (!FRoot) return nullptr;
    const TNodeHeapScope Heap;
    if (const THtmlNode* Head = FRoot->FindFirstOfKind(tagHead)) return std::shared_ptr<const THtmlNode>(CopyOf(Head));
    return std::make_shared<THtmlTag>(tagHead);
}

void THtmlFilter::RestoreHead(const THtmlNode& Copy)
{
    if (!FRoot) return;
    const TNodeHeapScope Heap;
    THtmlTag* Head = AsTag(FRoot->FindFirstOfKind(tagHead));
    if (!Head) Head = FRoot->EnsureHead();
    Head->Assign(&Copy);
}

void THtmlFilter::Clear()
{
    for (TStoredObject& Entry : FObjects)
        Entry.Node.reset();
    FObjects.clear();
    FRoot.reset();
}

void THtmlFilter::SwapDocument(THtmlFilter& Other)
{
    FRoot.swap(Other.FRoot);
    FObjects.swap(Other.FObjects);
}

std::unique_ptr<THtmlRoot> THtmlFilter::TakeDocument(THtmlFilter& Other)
{
    if (Other.FObjects.size() < FObjects.size())
        throw Exception("The document's design ids overlap the stored nodes");
    for (size_t K = FObjects.size(); K < Other.FObjects.size(); ++K)
        FObjects.push_back(std::move(Other.FObjects[K]));
    Other.FObjects.clear();
    return SwapTree(std::move(Other.FRoot));
}

std::unique_ptr<THtmlRoot> THtmlFilter::SwapTree(std::unique_ptr<THtmlRoot> Tree)
{
    FRoot.swap(Tree);
    return Tree;
}

void THtmlFilter::SetBasePath(const std::string& Path)
{
    FBasePath = Path;
    if (!FBasePath.empty() && FBasePath.back() != '/')
        FBasePath += '/';
}

// ---------------------------------------------------------------------------------------------
// Loading

void THtmlFilter::LoadFromStream(TStream& Stream)
{
    TMemoryStream Text;
    const bool MayHoldNul = LoadText(Stream, Text);
    CheckPageText(reinterpret_cast<const char16_t*>(Text.Memory()), static_cast<size_t>(Text.Size() / 2));
    TakeTree(ParseHtml(std::move(Text), MayHoldNul));
}

void THtmlFilter::LoadFromString(WideStringView Text)
{
    TakeTree(ParseHtml(Text));
}

void THtmlFilter::LoadFromString(WideStringView Text, int FirstId)
{
    TakeTree(ParseHtml(Text), FirstId);
}

void THtmlFilter::TakeTree(std::unique_ptr<THtmlRoot> NewRoot, int FirstId)
{
    Clear();
    FObjects.resize(static_cast<size_t>(std::max(FirstId, 0)));
    FRoot = std::move(NewRoot);
    // The design elements of a page join its nodes in the node arena; the stored nodes, which
    // outlive the page's body, do not.
    const TNodeArenaScope Arena(true);
    PrepareDesign();
}

void THtmlFilter::NewDocument()
{
    Clear();
    FRoot = std::make_unique<THtmlRoot>();
    FRoot->AddLast(new THtmlDocType);
    if (!Generator.empty()) {
        auto* Meta = new THtmlTag(tagMeta);
        Meta->SetAttribute(attrName, u"Generator");
        Meta->SetAttribute(attrContent, Utf8ToUtf16(Generator));
        FRoot->EnsureHead()->AddLast(Meta);
    }
    THtmlTag* Body = FRoot->EnsureBody();
    Body->SetAttribute(attrId, AddObject(std::make_unique<THtmlTag>(tagBody)));
    Body->SetAttribute(attrContentEditable, u"TRUE");
}

// ---------------------------------------------------------------------------------------------
// The preparation pass

void THtmlFilter::PrepareDesign()
{
    if (!FRoot)
        return;
    FClassified.clear();
    TLinkNode* N = FRoot->NextInTree(nullptr);
    while (N) {
        auto* Node = static_cast<THtmlNode*>(N);
        TLinkNode* InPlace = N;
        switch (Node->Kind()) {
        case tagComment:
        case tagPhp:
        case tagAsp:
        case tagUnknown:
            InPlace = MakePlaceholder(Node);
            break;
        case tagStyle:
            // A comment in a style sheet is its text, which the page keeps as it stands.
            N = NextOutside(FRoot.get(), N);
            continue;
        case tagNoFrames:
            // The body of a frames page stands in its noframes: that body is the one edited.
            if (THtmlTag* Tag = AsTag(Node); Tag && !Tag->FindChild(tagBody, false))
                InPlace = PrepareElement(Tag);
            break;
        case tagScript:
        case tagMap:
        case tagEmbed:
        case tagIsIndex:
        case tagBaseFont:
        case tagNoScript:
        case tagBgSound:
        case tagInput:
        case tagA:
        case tagApplet:
        case tagMarquee:
        case tagObject:
        case tagImg:
        case tagTable:
        case tagBody:
        case tagMeta:
            if (THtmlTag* Tag = AsTag(Node))
                InPlace = PrepareElement(Tag);
            break;
        default:
            break;
        }
        N = FRoot->NextInTree(InPlace);
    }
    FClassified.clear();
}

TLinkNode* THtmlFilter::PrepareElement(THtmlTag* Tag)
{
    switch (Tag->Kind()) {
    case tagInput:
        if (IsInputOfType(Tag, u"hidden"))
            return MakePlaceholder(Tag);
        if (IsInputOfType(Tag, u"image"))
            MakeImage(Tag);
        return Tag;
    case tagA:
        if (Tag->AttributeValue(attrName).empty())
            return Tag;
        // a named anchor around text stays, its text shown and edited behind its picture
        return Tag->First() ? MarkNamedAnchor(Tag) : MakePlaceholder(Tag);
    case tagApplet:
        MakeObjectLike(Tag, u"dsgn_applet");
        return Tag;
    case tagMarquee:
        MakeObjectLike(Tag, u"dsgn_marquee");
        return Tag;
    case tagObject:
        MakeObjectLike(Tag, ObjectDesignClass(Tag->AttributeValue(attrClassid)));
        return Tag;
    case tagImg:
        MakeImage(Tag);
        return Tag;
    case tagTable:
        MakeTable(Tag);
        return Tag;
    case tagBody:
        MakeBody(Tag);
        return Tag;
    case tagMeta:
        PrepareMeta(Tag);
        return Tag;
    default:  // script, map, embed, isindex, basefont, noscript, noframes, bgsound
        return MakePlaceholder(Tag);
    }
}

THtmlTag* THtmlFilter::MakePlaceholder(THtmlNode* Node)
{
    // A copy on the heap is stored rather than the node itself: a large page's nodes lie in
    // the node arena, and a stored node there would hold its segment once the body goes.
    std::unique_ptr<THtmlNode> Copy;
    {
        const TNodeHeapScope Heap;
        Copy.reset(CopyOf(Node));
    }
    THtmlTag* Img = NewPlaceholder(std::move(Copy), PlaceholderPicture(Node));
    Node->InsertBefore(Img);
    Node->Parent()->Remove(Node);
    delete Node;
    return Img;
}

THtmlTag* THtmlFilter::MarkNamedAnchor(THtmlTag* Anchor)
{
    std::unique_ptr<THtmlTag> Shell;
    {
        const TNodeHeapScope Heap;
        Shell = std::make_unique<THtmlTag>(tagA);
        Shell->AssignAttributes(Anchor);
    }
    THtmlTag* Img = NewPlaceholder(std::move(Shell), PlaceholderPicture(Anchor));
    Anchor->AddFirst(Img);
    return Img;
}

THtmlTag* THtmlFilter::NewPlaceholder(std::unique_ptr<THtmlNode> Stored, const char16_t* Picture)
{
    auto* Img = new THtmlTag(tagImg);
    const WideString Id = AddObject(std::move(Stored));
    WideString Src = u"edit:";
    Src += Picture;
    const THtmlAttribute Items[] = {{attrId, {}, Id}, {attrSrc, {}, Src}, {attrOnResize, {}, u"cancelEvent()"}};
    Img->AddAttributes(Items, std::size(Items));
    return Img;
}

void THtmlFilter::MakeObjectLike(THtmlTag* Node, WideStringView ClassName)
{
    std::unique_ptr<THtmlTag> Stored;
    {
        const TNodeHeapScope Heap;
        Stored = std::make_unique<THtmlTag>(Node->Kind());
        Stored->Assign(Node);
    }
    const THtmlTag* Copy = Stored.get();
    const WideString Id = AddObject(std::move(Stored));
    Node->Clear();
    Node->SetKind(tagImg);
    TAttributeBuilder Attributes(FItems);
    Attributes.Set(attrId, Id);
    Attributes.Set(attrClass, ClassName);
    Attributes.Set(attrSrc, TransparentSrc);
    Attributes.CopyPresent(Copy, {attrWidth, attrHeight, attrAlign});
    Attributes.Set(attrOnResizeEnd, ReportResize);
    Attributes.PutOn(Node);
}

void THtmlFilter::MakeImage(THtmlTag* Node)
{
    const bool IsInput = Node->Kind() == tagInput;
    TAttributeBuilder Attributes(FItems);
    if (IsInput)
        Attributes.CopyPresent(Node, {attrId, attrClass, attrType, attrName, attrSrc, attrStyle,
                                      attrWidth, attrHeight, attrOnResizeEnd});
    else
        Attributes.CopyPresent(Node, {attrId, attrClass, attrSrc, attrStyle, attrWidth,
                                      attrHeight, attrOnResizeEnd});
    std::unique_ptr<THtmlTag> Stored;
    {
        const TNodeHeapScope Heap;
        Stored = std::make_unique<THtmlTag>(Node->Kind());
        Attributes.PutOn(Stored.get());
    }
    const WideStringView Src = Stored->AttributeValue(attrSrc);
    // A page often shows one picture many times: each source is looked up once a pass.
    auto Known = FClassified.find(Src);
    if (Known == FClassified.end()) {
        Known = FClassified.try_emplace(WideString(Src)).first;
        ClassifyImageSrc(Src, Known->second.first, Known->second.second);
    }
    const WideString& ClassName = Known->second.first;
    const WideString& DesignSrc = Known->second.second;
    const WideString Id = AddObject(std::move(Stored));
    KeepAttributeOrder(Node, FObjects.back().SourceOrder, FObjects.back().SourceUnknownNames);

    Node->SetKind(tagImg);
    Attributes.Clear();
    if (IsInput)
        Attributes.AddEntries(Node, {attrId, attrClass, attrSrc, attrStyle, attrType, attrName});
    else
        Attributes.AddEntries(Node, {attrId, attrClass, attrSrc, attrStyle});
    Attributes.Set(attrId, Id);
    if (!ClassName.empty())
        Attributes.Set(attrClass, ClassName);
    Attributes.Set(attrSrc, DesignSrc);
    Attributes.Set(attrOnResizeEnd, ReportResize);
    Attributes.PutOn(Node);
}

void THtmlFilter::MakeTable(THtmlTag* Node)
{
    TAttributeBuilder Attributes(FItems);
    Attributes.CopyPresent(Node, {attrId, attrClass, attrStyle, attrWidth, attrHeight, attrOnResizeEnd});
    std::unique_ptr<THtmlTag> Stored;
    {
        const TNodeHeapScope Heap;
        Stored = std::make_unique<THtmlTag>(tagTable);
        Attributes.PutOn(Stored.get());
    }
    const WideString Id = AddObject(std::move(Stored));
    KeepAttributeOrder(Node, FObjects.back().SourceOrder, FObjects.back().SourceUnknownNames);

    Attributes.Clear();
    Attributes.AddEntries(Node, {attrId, attrClass, attrStyle});
    Attributes.Set(attrId, Id);
    const WideStringView Border = Node->AttributeValue(attrBorder);
    if (Border.empty() || Border == u"0")
        Attributes.Set(attrClass, u"dsgn_layout");
    Attributes.Set(attrOnResizeEnd, ReportResize);
    Attributes.PutOn(Node);
}

void THtmlFilter::MakeBody(THtmlTag* Node)
{
    std::unique_ptr<THtmlTag> Stored;
    {
        const TNodeHeapScope Heap;
        Stored = std::make_unique<THtmlTag>(tagBody);
        Stored->AssignAttributes(Node);
    }
    const THtmlTag* Copy = Stored.get();
    const WideString Id = AddObject(std::move(Stored));
    TAttributeBuilder Attributes(FItems);
    Attributes.Set(attrId, Id);
    Attributes.Set(attrContentEditable, u"TRUE");
    Attributes.CopyPresent(Copy, BodyPageAttributes);
    Attributes.PutOn(Node);
}

void THtmlFilter::PrepareMeta(THtmlTag* Node) const
{
    if (SameTextAscii(Node->GetAttribute(attrName), u"Generator"))
        PutAttribute(Node, attrContent, Utf8ToUtf16(Generator));
    else if (SameTextAscii(Node->GetAttribute(attrHttpEquiv), u"Content-Type"))
        Node->SetAttribute(attrContent, u"text/html; charset=ISO-8859-1");
    // Saved files hold one byte per character, whatever the page declared.
    if (!Node->GetAttribute(attrCharset).empty())
        Node->SetAttribute(attrCharset, u"ISO-8859-1");
}

// ---------------------------------------------------------------------------------------------
// The design document

WideString THtmlFilter::GetDesignHtml()
{
    if (!FRoot)
        return {};
    constexpr WideStringView Tail = u"\r\n</html>";
    const WideString& Head = DesignHead();
    WideString Html;
    if (THtmlNode* Body = FRoot->FindFirstOfKind(tagBody)) {
        // The body is written into the text that is returned: the head goes in front of it
        // there, within the room the writer left.
        Html = NodeToHtml(Body);
        Html.reserve(Head.size() + Html.size() + Tail.size());
        Html.insert(0, Head);
    } else {
        Html = Head;
        Html += u"<body id=\"";
        Html += AddObject(std::make_unique<THtmlTag>(tagBody));
        Html += u"\" contentEditable></body>";
    }
    Html += Tail;
    return Html;
}

WideString THtmlFilter::GetDesignShell()
{
    if (!FRoot || !FRoot->FindFirstOfKind(tagBody)) return GetDesignHtml();
    return DesignHead() + u"<body></body>\r\n</html>";
}

void THtmlFilter::ClassifyImageSrc(WideStringView Src, WideString& ClassName,
                                   WideString& DesignSrc) const
{
    DesignSrc = TransparentSrc;
    if (StartsWithTextAscii(Src, u"http://") || StartsWithTextAscii(Src, u"https://")) {
        ClassName = u"dsgn_remote";
        return;
    }
    if (StartsWithTextAscii(Src, u"file://") || (!Src.empty() && Src.front() == u'/')) {
        ClassName = u"dsgn_absolute";
        return;
    }
    // A relative path: shown from the document's folder when the picture is there. A page
    // without a folder cannot reach it. The value's references and the URL's escapes name the
    // file; a query or a fragment does not.
    WideString Url = DecodeDocumentText(Src);
    Url.resize(std::min(Url.find_first_of(u"?#"), Url.size()));
    const std::string Path = FBasePath + PercentDecode(Utf16ToUtf8(Url));
    if (FBasePath.empty() || !IsRegularFile(Path)) {
        ClassName = u"dsgn_broken";
        return;
    }
    ClassName.clear();
    DesignSrc = FileUrl(Path);
}

void THtmlFilter::UpdateBodyObject()
{
    if (!FRoot)
        return;
    auto* Body = AsTag(FRoot->FindFirstOfKind(tagBody));
    if (!Body)
        return;
    auto* Stored = AsTag(FindObject(Body->GetAttribute(attrId)));
    if (Stored && Stored->Kind() == tagBody)
        TakeAttributes(Stored, Body, BodyPageAttributes);
}

}  // namespace zv
