#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "HtmlNodes.h"
#include "NodeArena.h"

using namespace zv;

namespace {

// The link invariants of Node's children: Count is the chain's length, First and Last end
// it, and every child points back at Node and at its neighbour.
bool LinksAgree(const TLinkNode* Node)
{
    int Length = 0;
    const TLinkNode* Prev = nullptr;
    for (const TLinkNode* C = Node->First(); C && Length <= Node->Count(); Prev = C, C = C->Next()) {
        if (C->Parent() != Node || C->Prev() != Prev)
            return false;
        ++Length;
    }
    return Prev == Node->Last() && Length == Node->Count();
}

// Every node of the subtree, Root included, in pre-order (cut short should the walk loop).
std::vector<TLinkNode*> Subtree(TLinkNode* Root)
{
    std::vector<TLinkNode*> Nodes{Root};
    for (TLinkNode* N = Root->NextInTree(nullptr); N && Nodes.size() < 1000000; N = Root->NextInTree(N))
        Nodes.push_back(N);
    return Nodes;
}

// Kinds, attributes, texts and nesting of a subtree as one text; "!" marks broken links.
std::string Shape(const TLinkNode* Node)
{
    std::string Out = LinksAgree(Node) ? "" : "!";
    if (auto* Html = dynamic_cast<const THtmlNode*>(Node))
        Out += std::to_string(Html->Kind());
    if (auto* Text = dynamic_cast<const THtmlText*>(Node))
        Out += "'" + Utf16ToUtf8(Text->Text) + "'";
    if (auto* DocType = dynamic_cast<const THtmlDocType*>(Node))
        Out += "d" + std::to_string(DocType->DocKind);
    if (auto* Tag = dynamic_cast<const THtmlTag*>(Node))
        for (int I = 0; I < Tag->GetAttributeCount(); ++I)
            Out += " " + std::to_string(Tag->GetAttributeId(I)) + "=" +
                   Utf16ToUtf8(Tag->GetAttributeByIndex(I));
    if (Node->First()) {
        Out += "(";
        for (const TLinkNode* C = Node->First(); C; C = C->Next())
            Out += Shape(C) + (C->Next() ? "," : "");
        Out += ")";
    }
    return Out;
}

THtmlTag* AddTag(TLinkNode* Parent, THtmlTagId Kind)
{
    auto* Tag = new THtmlTag(Kind);
    Parent->AddLast(Tag);
    return Tag;
}

THtmlText* AddText(TLinkNode* Parent, const WideString& Text, THtmlTagId Kind = tagText)
{
    auto* Node = new THtmlText(Kind, Text);
    Parent->AddLast(Node);
    return Node;
}

std::string ListError(const std::function<void()>& Fn)
{
    try {
        Fn();
    } catch (const EStringListError& E) {
        return E.what();
    }
    return "no error";
}

}  // namespace

TEST(LinkNode, MovesRemovesAndWalks)
{
    THtmlTag A(tagDiv), B(tagDiv);
    THtmlTag* A1 = AddTag(&A, tagP);
    THtmlTag* A2 = AddTag(&A, tagP);
    THtmlTag* A3 = AddTag(&A, tagP);
    THtmlTag* B1 = AddTag(&B, tagSpan);
    EXPECT_TRUE(B.Append(A1));   // the first child moves away
    EXPECT_TRUE(B.Prepend(A3));  // and the last
    EXPECT_EQ(A.First(), A2);
    EXPECT_EQ(A.Last(), A2);
    EXPECT_TRUE(A2->InsertBefore(B1));
    EXPECT_TRUE(A2->InsertBefore(B1));  // already in place
    EXPECT_EQ(Shape(&A), "27(76,67)");
    EXPECT_TRUE(B.Append(B.First()));
    EXPECT_EQ(Shape(&B), "27(67,67)");
    EXPECT_EQ(B.First(), A1);

    EXPECT_FALSE(A.Append(nullptr) || A.Append(&A) || A.Prepend(&A) || A2->InsertBefore(nullptr) ||
                 A2->InsertBefore(A2) || A.Remove(A1) || A.Remove(nullptr));
    EXPECT_TRUE(B.Remove(A1));
    EXPECT_TRUE(A1->Parent() == nullptr && A1->Next() == nullptr && B.First() == A3);
    delete A1;
    delete A2;  // a linked node unlinks itself when destroyed
    EXPECT_EQ(Shape(&A), "27(76)");
    EXPECT_EQ(Shape(&B), "27(67)");

    // The pre-order walk stays inside its subtree.
    THtmlTag* Self = AddTag(&A, tagUl);
    THtmlTag* After = AddTag(&A, tagP);
    EXPECT_EQ(Self->NextInTree(nullptr), nullptr);
    EXPECT_EQ(Self->NextInTree(Self), nullptr);  // not the next sibling
    THtmlTag* L1 = AddTag(Self, tagLi);
    THtmlText* L1t = AddText(L1, u"x");
    THtmlTag* L2 = AddTag(Self, tagLi);
    std::vector<TLinkNode*> Walk = Subtree(Self);
    EXPECT_EQ(Walk, (std::vector<TLinkNode*>{Self, L1, L1t, L2}));
    EXPECT_EQ(L1->NextInTree(L1t), nullptr);
    EXPECT_EQ(A.NextInTree(L2), After);
}

TEST(LinkNode, CyclesAndParentlessInsertsAreRefused)
{
    THtmlRoot Root;
    THtmlTag* Html = Root.EnsureHtml();
    THtmlTag* Body = Root.EnsureBody();
    THtmlTag* Div = AddTag(Body, tagDiv);
    THtmlTag* P = AddTag(Div, tagP);
    const std::string Before = Shape(&Root);
    THtmlTag Free(tagB);
    EXPECT_FALSE(P->Append(Div) || P->Append(&Root) || P->Prepend(Html));
    EXPECT_FALSE(P->InsertBefore(Div) || Div->InsertBefore(Body));
    EXPECT_FALSE(Root.InsertBefore(P) || Free.InsertBefore(P));  // no parent to insert under
    Div->AddLast(Body);  // would close a loop: ignored
    Div->AddFirst(&Root);
    EXPECT_EQ(Shape(&Root), Before);

    THtmlTag* Span = AddTag(Body, tagSpan);
    EXPECT_TRUE(P->Append(Span));  // down into a sibling's subtree is fine
    Body->AddLast(Span);           // a node still linked is moved
    EXPECT_EQ(Shape(&Root), "-6(45(14(27(67),76)))");
}

TEST(HtmlTag, AttributesKeepOrderAndFollowTheSetRules)
{
    THtmlTag Img(tagImg);
    EXPECT_EQ(Img.GetAttributeCount(), 0);
    EXPECT_EQ(Img.GetAttribute(attrSrc), u"");
    Img.DeleteAttribute(attrSrc);
    EXPECT_EQ(Img.Attributes(), nullptr);
    EXPECT_EQ(ListError([&] { Img.GetAttributeByIndex(0); }), "List index out of bounds (0)");
    EXPECT_EQ(ListError([&] { Img.GetAttributeId(2); }), "List index out of bounds (2)");

    Img.SetAttribute(attrSrc, u"a.gif");
    Img.SetAttribute(attrAlt, u"");  // absent and empty: nothing is added
    EXPECT_FALSE(Img.HasAttribute(attrAlt));
    THtmlAttribute Empty{attrAlt, {}, {}};
    Img.AddAttributes(&Empty, 1);  // as the parser stores alt=""
    Img.SetAttribute(attrTitle, u"\u0391\u03b8\u03ae\u03bd\u03b1");
    Img.SetAttribute(attrSrc, u"b.gif");
    EXPECT_EQ(Shape(&Img), "48 162=b.gif 7= 170=\u0391\u03b8\u03ae\u03bd\u03b1");
    Img.SetAttribute(attrSrc, u"");  // present and empty: deleted
    EXPECT_FALSE(Img.HasAttribute(attrSrc));
    EXPECT_TRUE(Img.HasAttribute(attrAlt));
    EXPECT_EQ(ListError([&] { Img.GetAttributeByIndex(-1); }), "List index out of bounds (-1)");
    Img.Attributes()->AddObject(u"second", attrAlt);
    Img.SetAttribute(attrAlt, u"first");  // only the first entry of the id changes
    EXPECT_EQ(Shape(&Img), "48 7=first 170=\u0391\u03b8\u03ae\u03bd\u03b1 7=second");
    Img.DeleteAttribute(attrAlt);
    EXPECT_EQ(Img.GetAttribute(attrAlt), u"second");

    THtmlTag Obj(tagObject);
    Obj.SetUnknownAttribute(u"codebase2", u"x");
    Obj.SetAttribute(attrWidth, u"10");
    Obj.SetUnknownAttribute(u"CODEBASE2", u"y");
    Obj.SetUnknownAttribute(u"codebase", u"z");  // "codebase2=" does not begin with "codebase="
    Obj.SetUnknownAttribute(u"codebase", u"");   // an empty value keeps the entry
    EXPECT_EQ(Shape(&Obj), "63 -1=CODEBASE2=y 180=10 -1=codebase=");
    Obj.ClearAttributes();
    EXPECT_EQ(Obj.Attributes(), nullptr);
}

TEST(HtmlTag, AttributesActTheSameOnceTheListIsHandedOut)
{
    // Packed keeps its entries to itself; Listed hands out its list early and is changed
    // through both the tag and the list.
    THtmlTag Packed(tagObject), Listed(tagObject);
    auto Both = [&](const std::function<void(THtmlTag&)>& Change) {
        Change(Packed);
        Change(Listed);
        EXPECT_EQ(Shape(&Packed), Shape(&Listed));
    };
    Both([](THtmlTag& T) { T.SetAttribute(attrWidth, u"1"); });
    ASSERT_NE(Listed.Attributes(), nullptr);
    const WideString Long(100000, u'\u0416');
    const THtmlAttribute Items[] = {{attrAlt, u"ignored", u""},
                                    {attrUnknown, u"data-Foo", u"x"},
                                    {attrTitle, {}, Long},
                                    {attrUnknown, u"bare", u""}};
    Both([&](THtmlTag& T) { T.AddAttributes(Items, 4); });
    EXPECT_EQ(Shape(&Packed), "63 180=1 7= -1=data-Foo=x 170=" + Utf16ToUtf8(Long) + " -1=bare=");
    Both([](THtmlTag& T) { T.SetUnknownAttribute(u"DATA-foo", u"y"); });
    Both([](THtmlTag& T) { T.SetAttribute(attrAlt, u""); });  // present and empty: deleted
    Both([](THtmlTag& T) { T.SetAttribute(attrTitle, u"t"); });
    Both([](THtmlTag& T) { T.DeleteAttribute(attrWidth); });
    EXPECT_EQ(Shape(&Packed), "63 -1=DATA-foo=y 170=t -1=bare=");
    EXPECT_EQ(Packed.AttributeText(1), u"t");
    EXPECT_EQ(Listed.AttributeText(1), u"t");
    for (THtmlTag* T : {&Packed, &Listed}) {
        EXPECT_EQ(ListError([&] { T->AttributeText(3); }), "List index out of bounds (3)");
        EXPECT_EQ(ListError([&] { T->GetAttributeId(-1); }), "List index out of bounds (-1)");
    }

    // Copies are independent, whichever form the source has.
    THtmlTag FromPacked(tagB), FromListed(tagB);
    FromPacked.AssignAttributes(&Packed);
    FromListed.AssignAttributes(&Listed);
    EXPECT_EQ(Shape(&FromPacked), Shape(&Packed));
    EXPECT_EQ(Shape(&FromListed), Shape(&Listed));
    FromPacked.SetAttribute(attrTitle, u"other");
    FromListed.Attributes()->Put(0, u"z=1");
    EXPECT_EQ(Shape(&Packed), "63 -1=DATA-foo=y 170=t -1=bare=");
    EXPECT_EQ(Shape(&Listed), Shape(&Packed));

    // Emptied, a tag keeps an empty list until it is cleared.
    Both([](THtmlTag& T) {
        T.DeleteAttribute(attrUnknown);
        T.DeleteAttribute(attrTitle);
        T.DeleteAttribute(attrUnknown);
    });
    EXPECT_EQ(Packed.GetAttributeCount(), 0);
    ASSERT_NE(Packed.Attributes(), nullptr);
    EXPECT_EQ(Packed.Attributes()->GetCount(), 0);
    Packed.ClearAttributes();
    EXPECT_EQ(Packed.Attributes(), nullptr);
}

TEST(HtmlTag, FindAndTrimSearchInTheirOrder)
{
    THtmlTag Div(tagDiv);
    THtmlText* T1 = AddText(&Div, u"  \t lead ");
    THtmlTag* B = AddTag(&Div, tagB);
    THtmlText* T2 = AddText(B, u" inner ");
    THtmlTag* Em = AddTag(&Div, tagEm);
    THtmlTag* InnerEm = AddTag(Em, tagEm);
    THtmlText* T3 = AddText(InnerEm, u" tail \r\n");
    THtmlText* Comment = AddText(Em, u"<!-- c -->", tagComment);
    AddText(Comment, u"hidden");  // a text node's own children are not searched

    EXPECT_EQ(Div.FindChild(tagEm, false), Em);
    EXPECT_EQ(Div.FindChild(tagComment, false), nullptr);
    EXPECT_EQ(Div.FindChild(tagComment, true), Comment);
    EXPECT_EQ(Div.FindFirstOfKind(tagText), T1);
    EXPECT_EQ(Div.FindLastOfKind(tagEm), Em);  // the child before its own subtree
    EXPECT_EQ(Em->FindLastOfKind(tagEm), InnerEm);
    EXPECT_EQ(Div.FindLastOfKind(tagText), T3);
    EXPECT_EQ(Div.FindLastOfKind(tagU), nullptr);
    Div.TrimText();
    EXPECT_EQ(T1->Text.Str() + u"|" + T2->Text.Str() + u"|" + T3->Text.Str(), u"lead | inner | tail");
}

// A text made in the node's own block, in and out of the arena, then changed in every way the
// writer and the tools change texts: from a part of itself, grown past its block, copied.
TEST(HtmlText, TextsInTheNodesBlockChangeLikeAnyOther)
{
    for (const bool InArena : {false, true}) {
        const TNodeArenaScope Arena(InArena);
        THtmlTag Parent(tagP);
        THtmlText* Made = THtmlText::Make(tagText, u"  lead text  ");
        Parent.AddLast(Made);
        Parent.AddLast(THtmlText::Make(tagText, u""));
        EXPECT_EQ(Made->Text, WideStringView(u"  lead text  "));
        Made->Text = Made->Text.View().substr(2);  // from itself
        EXPECT_EQ(Made->Text, WideStringView(u"lead text  "));
        Made->Text += u"and a good deal more than the block held";
        Made->Text += u'!';
        EXPECT_EQ(Made->Text, WideStringView(u"lead text  and a good deal more than the block held!"));
        Made->Text = Made->Text.View().substr(5, 4);
        EXPECT_EQ(Made->Text, WideStringView(u"text"));
        THtmlText Copy(tagText);
        Copy.Assign(Made);
        Made->Text = u"changed";
        EXPECT_EQ(Copy.Text, WideStringView(u"text"));
        EXPECT_TRUE(static_cast<THtmlText*>(Parent.Last())->Text.empty());
    }
}

TEST(HtmlTag, AssignMakesAnIndependentDeepCopy)
{
    THtmlRoot Source;
    auto* DocType = new THtmlDocType;
    DocType->DocKind = dkStrict;
    Source.AddLast(DocType);
    AddText(&Source, u"<? x ?>", tagPhp);
    THtmlTag* Body = Source.EnsureBody();
    Body->SetAttribute(attrBgcolor, u"red");
    Body->SetUnknownAttribute(u"x-y", u"1");
    THtmlTag* P = AddTag(Body, tagP);
    AddText(P, u"caf\u00e9");
    auto* Nested = new THtmlRoot;
    AddTag(Nested, tagHr);
    P->AddLast(Nested);
    P->AddLast(new THtmlNode(tagPlaceholder));

    THtmlTag Copy(tagB);
    AddTag(&Copy, tagI);
    Copy.SetAttribute(attrId, u"old");
    ASSERT_TRUE(Copy.Assign(&Source));
    const std::string Original = Shape(&Source);
    EXPECT_EQ(Shape(&Copy), Original);
    EXPECT_EQ(Original, "-6(0d1,-3'<? x ?>',45(14 13=red -1=x-y=1(67(-5'caf\u00e9',-6(44),-7))))");
    // Classes are kept, except that a nested root becomes a plain tag.
    TLinkNode* CopiedNested = Copy.FindFirstOfKind(tagP)->First()->Next();
    EXPECT_TRUE(dynamic_cast<THtmlTag*>(CopiedNested) && !dynamic_cast<THtmlRoot*>(CopiedNested));
    EXPECT_NE(dynamic_cast<THtmlDocType*>(Copy.First()), nullptr);

    auto* CopiedBody = dynamic_cast<THtmlTag*>(Copy.FindFirstOfKind(tagBody));
    CopiedBody->SetAttribute(attrBgcolor, u"blue");
    CopiedBody->Clear();
    dynamic_cast<THtmlText*>(Copy.FindFirstOfKind(tagPhp))->Text = u"<? y ?>";
    EXPECT_EQ(Shape(&Source), Original);

    // From a node that is not a tag only the kind is taken.
    THtmlText Text(tagComment, u"<!-- -->");
    ASSERT_TRUE(Copy.Assign(&Text));
    EXPECT_EQ(Copy.Kind(), tagComment);
    EXPECT_EQ(Copy.Count(), 3);
    THtmlText Other(tagText);
    ASSERT_TRUE(Other.Assign(&Text));
    EXPECT_EQ(Other.Text, u"<!-- -->");
    THtmlDocType Plain;
    ASSERT_TRUE(Plain.Assign(DocType));
    EXPECT_EQ(Plain.DocKind, dkStrict);

    THtmlTag Attrs(tagI);
    AddTag(&Attrs, tagB);
    Attrs.AssignAttributes(Body);
    EXPECT_EQ(Shape(&Attrs), "14 13=red -1=x-y=1(7)");
}

TEST(HtmlTag, AssignFromItselfOrItsOwnSubtreeIsRefusedButFromAnAncestorWorks)
{
    THtmlRoot Root;
    THtmlTag* Body = Root.EnsureBody();
    THtmlTag* Div = AddTag(Body, tagDiv);
    THtmlText* Text = AddText(Div, u"t");
    Div->SetAttribute(attrClass, u"c");
    const std::string Before = Shape(&Root);
    EXPECT_FALSE(Root.Assign(&Root) || Root.Assign(Div) || Body->Assign(Text) ||
                 Root.Assign(nullptr) || Text->Assign(Text));
    Div->AssignAttributes(Div);
    EXPECT_EQ(Shape(&Root), Before);

    // Into a node inside the source: the source as it was before the call.
    ASSERT_TRUE(Div->Assign(Body));
    EXPECT_EQ(Shape(&Root), "-6(45(14(14(27 23=c(-5't')))))");
}

TEST(HtmlRoot, EnsureMakesTheFrameOnceAndInOrder)
{
    THtmlRoot Root;
    AddText(&Root, u"<!-- top -->", tagComment);
    THtmlTag* Body = Root.EnsureBody();
    THtmlTag* Head = Root.EnsureHead();
    EXPECT_EQ(Head->Next(), Body);  // before the body
    EXPECT_EQ(Root.EnsureHead(), Head);
    EXPECT_EQ(Root.EnsureBody(), Body);
    EXPECT_EQ(Body->Parent(), Root.EnsureHtml());
    EXPECT_EQ(Shape(&Root), "-6(-2'<!-- top -->',45(43,14))");

    THtmlRoot Fresh;
    Fresh.EnsureHead();
    Fresh.EnsureBody();
    EXPECT_EQ(Shape(&Fresh), "-6(45(43,14))");
    THtmlRoot Odd;  // a node of the html kind that is not an element does not count
    Odd.AddLast(new THtmlNode(tagHtml));
    Odd.EnsureHtml();
    EXPECT_EQ(Shape(&Odd), "-6(45,45)");
}

TEST(HtmlTree, VeryDeepAndVeryWideTreesAreBuiltCopiedWalkedAndFreed)
{
    constexpr int N = 200000;
    auto Deep = std::make_unique<THtmlRoot>();
    TLinkNode* Bottom = Deep.get();
    for (int I = 0; I < N; ++I)
        Bottom = AddTag(Bottom, I % 2 ? tagDiv : tagSpan);
    AddText(Bottom, u"end");
    EXPECT_EQ(Subtree(Deep.get()).size(), static_cast<size_t>(N + 2));
    EXPECT_NE(Deep->FindFirstOfKind(tagText), nullptr);
    EXPECT_NE(Deep->FindLastOfKind(tagText), nullptr);
    EXPECT_FALSE(Bottom->Append(Deep->First()));  // an ancestor far up

    THtmlTag DeepCopy(tagB);
    ASSERT_TRUE(DeepCopy.Assign(Deep.get()));
    EXPECT_NE(DeepCopy.FindLastOfKind(tagText), nullptr);
    Deep.reset();

    auto Wide = std::make_unique<THtmlTag>(tagUl);
    for (int I = 0; I < N; ++I)
        AddTag(Wide.get(), tagLi);
    EXPECT_EQ(Wide->Count(), N);
    THtmlTag WideCopy(tagOl);
    ASSERT_TRUE(WideCopy.Assign(Wide.get()));
    EXPECT_TRUE(LinksAgree(&WideCopy));
    Wide.reset();
}

TEST(HtmlTree, RandomOperationsKeepTheInvariants)
{
    std::mt19937 Random(20240611);
    auto Below = [&](int Limit) { return std::uniform_int_distribution<int>(0, Limit - 1)(Random); };
    // The trees in play, owned here; a tree linked under another node leaves the list.
    std::vector<TLinkNode*> Roots;
    for (int I = 0; I < 4; ++I)
        Roots.push_back(new THtmlRoot);
    auto IsInside = [](const TLinkNode* Node, const TLinkNode* Ancestor) {
        for (const TLinkNode* P = Node; P; P = P->Parent())
            if (P == Ancestor)
                return true;
        return false;
    };
    const THtmlTagId Kinds[] = {tagDiv, tagP, tagB, tagSpan, tagTable};
    std::vector<TLinkNode*> All;
    for (TLinkNode* R : Roots)
        All.push_back(R);

    for (int Step = 0; Step < 6000; ++Step) {
        TLinkNode* A = All[static_cast<size_t>(Below(static_cast<int>(All.size())))];
        TLinkNode* B = Below(20) ? All[static_cast<size_t>(Below(static_cast<int>(All.size())))] : nullptr;
        const int Op = Below(10);
        SCOPED_TRACE("step " + std::to_string(Step) + " op " + std::to_string(Op));
        const bool Legal = B && B != A && !IsInside(A, B);
        switch (Op) {
        case 0:
        case 1:
            EXPECT_EQ(A->Append(B), Legal);
            break;
        case 2:
            EXPECT_EQ(A->Prepend(B), Legal);
            break;
        case 3:
            EXPECT_EQ(A->InsertBefore(B), Legal && A->Parent() != nullptr);
            break;
        case 4: {
            TLinkNode* Child = B && B->Parent() == A ? B : A->First();
            EXPECT_EQ(A->Remove(Child), Child != nullptr);
            if (Child) {
                EXPECT_EQ(Child->Parent(), nullptr);
                Roots.push_back(Child);
            }
            EXPECT_FALSE(A->Remove(A));
            break;
        }
        case 5: {
            auto* Target = dynamic_cast<THtmlTag*>(A);
            auto* Source = dynamic_cast<THtmlNode*>(B);
            if (!Target || !Source || Subtree(Source).size() > 40)
                break;
            const bool Allowed = Source != Target && !IsInside(Source, Target);
            const std::string Expected = Shape(Source);
            EXPECT_EQ(Target->Assign(Source), Allowed);
            if (Allowed && dynamic_cast<THtmlTag*>(Source)) {
                EXPECT_EQ(Shape(Target), Expected);
            }
            break;
        }
        case 6:
            if (Below(3) == 0)
                A->Clear();
            break;
        default: {
            auto* Tag = new THtmlTag(Kinds[Below(5)]);
            Tag->SetAttribute(attrId, IntToWide(Step));
            if (Op == 8)
                A->AddFirst(Tag);
            else
                A->AddLast(Tag);
            break;
        }
        }
        std::erase_if(Roots, [](TLinkNode* R) { return R->Parent() != nullptr; });

        // Every node is reached exactly once from the roots, and every link agrees.
        All.clear();
        std::set<TLinkNode*> Seen;
        for (TLinkNode* R : Roots) {
            for (TLinkNode* N : Subtree(R)) {
                ASSERT_TRUE(Seen.insert(N).second) << "a node reached twice";
                ASSERT_TRUE(LinksAgree(N));
                All.push_back(N);
            }
        }
        ASSERT_LT(All.size(), 20000u);
    }
    for (TLinkNode* R : Roots)
        delete R;
}
