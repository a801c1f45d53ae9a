#pragma once
// The design filter: turns the document tree into the page that the design view edits, in
// which elements that cannot be edited live stand as placeholder pictures, and turns the
// edited page back into the document. Every design element carries an id "dsgn_:::_" + n;
// entry n of the object list holds the source node behind it.

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "HtmlNodes.h"
#include "Streams.h"
#include "WStrList.h"
#include "WideText.h"

namespace zv {

// What an open builder hands back: the stored node (owned by the filter), its design id and
// the unfinished design tag, which the caller completes with its own attributes and ">".
struct TDesignObject {
    THtmlTag* Node = nullptr;
    WideString Id;
    WideString Html;
};

class THtmlFilter {
public:
    THtmlFilter() = default;
    ~THtmlFilter();
    THtmlFilter(const THtmlFilter&) = delete;
    THtmlFilter& operator=(const THtmlFilter&) = delete;

    // Text of the META generator content (UTF-8).
    std::string Generator;

    // The document tree; nil when no document is loaded.
    THtmlRoot* Root() const { return FRoot.get(); }
    // The stored nodes; entry n belongs to the design id "dsgn_:::_" + n.
    int ObjectCount() const { return static_cast<int>(FObjects.size()); }
    THtmlNode* Object(int Index) const;

    // Folder of the document (UTF-8), ending in "/" when not empty.
    const std::string& BasePath() const { return FBasePath; }
    void SetBasePath(const std::string& Path);

    // Frees the tree and every stored node; Generator and BasePath stay.
    void Clear();

    // Load a document: bytes in any supported character set, or UTF-16 text. A conversion or
    // parser error, or bytes that hold no page (ENotAPage), pass to the caller and leave the
    // previous document as it was.
    void LoadFromStream(TStream& Stream);
    void LoadFromString(WideStringView Text);
    // The same with the design ids of the new document from FirstId on: ids below it stay
    // unused, for TakeDocument.
    void LoadFromString(WideStringView Text, int FirstId);
    // Replaces the document by an empty page.
    void NewDocument();
    // Trades documents (tree and stored nodes) with Other: one set aside and put back.
    void SwapDocument(THtmlFilter& Other);
    // Takes the document of Other, loaded with its first id at this filter's ObjectCount, in
    // place of its own tree; every stored node stays, so the design elements of the document
    // before still lead to theirs. Answers the tree it replaced; Other is left empty.
    std::unique_ptr<THtmlRoot> TakeDocument(THtmlFilter& Other);
    // Puts Tree in place of the tree and answers the one it replaced.
    std::unique_ptr<THtmlRoot> SwapTree(std::unique_ptr<THtmlRoot> Tree);

    // The complete design document; empty without a tree.
    WideString GetDesignHtml();
    // The same with the body left empty when the tree has one: the page is given the body by
    // itself (see DesignTree.h), and writing it here would be work thrown away.
    WideString GetDesignShell();

    // The pass that follows every parse. A page without a DOCTYPE gains none: one would take
    // the browser out of the mode the page was made for.
    void PrepareDesign();

    // The index a design id encodes; -1 without the prefix or a decimal number after it.
    static int IndexOfId(WideStringView Id);
    // The stored node of a design id; nil when the id leads nowhere.
    THtmlNode* FindObject(WideStringView Id) const;
    // A copy of the stored node of a design id (nil when there is none), and putting such a
    // copy back into that node: what undo keeps of a change made to a stored node.
    std::shared_ptr<const THtmlNode> CopyObject(WideStringView Id) const;
    void RestoreObject(WideStringView Id, const THtmlNode& Copy);
    // Stores a copy of Node under the next id and returns that id: a pasted element's own node.
    WideString AddObjectCopy(const THtmlNode& Node);
    // The same for the head of the tree (an empty head when it has none; nil without a tree).
    std::shared_ptr<const THtmlNode> CopyHead() const;
    void RestoreHead(const THtmlNode& Copy);

    // How an image source is shown: a design class (possibly empty) and the src to show.
    void ClassifyImageSrc(WideStringView Src, WideString& ClassName, WideString& DesignSrc) const;

    // Copies the ten page attributes of the tree's body onto its stored body node.
    void UpdateBodyObject();

    // Mapping back. ReadDesign replaces the tree's body by the body of the given design HTML
    // (a parser error passes before the tree is touched); nothing without a tree.
    void ReadDesign(WideStringView Html);
    // An element of the design body changed since the tree was read: the way to it from the
    // body (at each step its place among the elements of its parent, their count and its tag
    // name), its source now, and the source of the texts right before it and right after the
    // element Up levels above it (it being the last node of each level in between).
    struct TDesignPart {
        struct TStep {
            int Index = 0;
            int Count = 0;
            WideString Name;
        };
        std::vector<TStep> Path;
        WideString Source;
        WideString Before;
        WideString After;
        int Up = 0;
    };
    // What ReadDesign makes of a body that differs from the tree's in Parts and, when BodyTag
    // (the body's start tag) is not empty, in its attributes. False, with nothing changed,
    // where a part does not lead to an element of its kind, does not read as one element
    // after the text before it, or changes how the text after it reads.
    bool ReadDesignParts(WideStringView BodyTag, const std::vector<TDesignPart>& Parts);
    // The next three turn the tree into its source form for a moment and back: afterwards the
    // tree and the stored nodes are as before (up to the blanks that writing trims at the ends
    // of texts written on one line).
    // A copy of the tree with every design element turned back into its source (an empty root
    // without a tree).
    std::unique_ptr<THtmlRoot> RebuildSource();
    // The document's source text, its declarations naming the character set that
    // SaveToStream writes; empty without a tree.
    WideString GetSourceText();
    // The saved form of the document: one byte per character when every character is
    // Latin-1, else UTF-8 with the head's declarations saying so; nothing without a tree.
    // Stream must be readable as well: the start of the page is read back from it.
    void SaveToStream(TStream& Stream);

    // Builders: each stores a new source node under the next id and returns the design HTML
    // that stands for it. The complete ones return a whole placeholder tag.
    WideString NewAnchorPlaceholder(WideStringView Name);
    WideString NewCommentPlaceholder(WideStringView Text);
    WideString NewScriptPlaceholder(WideStringView Type, WideStringView Text, bool Defer);
    WideString NewScriptFilePlaceholder(WideStringView Src, WideStringView Type, bool Defer,
                                        WideStringView Charset);
    WideString NewBgSoundPlaceholder(WideStringView Src, int Loop, bool AutoStart);
    WideString NewHiddenInputPlaceholder(WideStringView Name, WideStringView Value);
    // The open ones return the start of the design tag, every attribute followed by a blank.
    TDesignObject NewImageObject(WideStringView Src);
    TDesignObject NewImageInputObject(WideStringView Src, WideStringView Name);
    TDesignObject NewObjectObject(WideStringView ClassId);
    TDesignObject NewMarqueeObject(WideStringView Text);
    TDesignObject NewAppletObject();
    TDesignObject NewActiveXObject();
    TDesignObject NewTableObject(WideStringView Border);

    // Operations on the stored node behind a design element.
    void SetImageSrc(WideStringView Id, WideStringView Src, WideString& DesignSrc,
                     WideString& ClassName);
    void SetObjectSize(WideStringView Id, WideStringView Width, WideStringView Height);
    // "#" + name of every stored map with a name that the tree shows, in list order (the list
    // is cleared first).
    void GetMapNames(TWideStrings& Strings) const;
    // The first param child whose name matches (ignoring case); nullptr when there is none.
    static THtmlTag* FindObjectParam(const THtmlTag* ObjectNode, WideStringView Name);
    static WideString GetObjectParam(const THtmlTag* ObjectNode, WideStringView Name);
    // Writes a param child; an empty value or the default (ignoring case) removes it.
    static void SetObjectParam(THtmlTag* ObjectNode, WideStringView Name,
                               WideStringView DefaultValue, WideStringView Value);

private:
    WideString NextId() const;
    // Appends Node under the next id and returns that id.
    WideString AddObject(std::unique_ptr<THtmlNode> Node);
    TDesignObject NewImage(std::unique_ptr<THtmlTag> Node, WideStringView Src);
    TDesignObject NewObject(std::unique_ptr<THtmlTag> Node, WideStringView ClassName);
    // Puts NewRoot in place of the document after the passes that follow a parse.
    void TakeTree(std::unique_ptr<THtmlRoot> NewRoot, int FirstId = 0);

    // The preparation of one node; each answers the node now standing in its place.
    TLinkNode* PrepareElement(THtmlTag* Tag);
    THtmlTag* MakePlaceholder(THtmlNode* Node);
    // A named anchor around text keeps its place and text; a placeholder holding its
    // attributes goes in as its first child.
    THtmlTag* MarkNamedAnchor(THtmlTag* Anchor);
    // A placeholder img (not yet in the tree) of a new stored node.
    THtmlTag* NewPlaceholder(std::unique_ptr<THtmlNode> Stored, const char16_t* Picture);
    void MakeObjectLike(THtmlTag* Node, WideStringView ClassName);
    void MakeImage(THtmlTag* Node);
    void MakeTable(THtmlTag* Node);
    void MakeBody(THtmlTag* Node);
    void PrepareMeta(THtmlTag* Node) const;
    // Turns every design element of the tree into its source in place, and back.
    struct TSourceMapping;
    class TSourceScope;
    void MapToSource(TSourceMapping& Mapping);
    void UnmapSource(TSourceMapping& Mapping);
    // Gives Out (without attributes) those of a design image or table turned back: the
    // Restored ones come from its stored node of Index, in the order of the loaded page.
    void SourceAttributes(const THtmlTag* Design, const THtmlTag* Stored,
                          std::initializer_list<THtmlAttrId> Restored, int Index,
                          THtmlTag& Out) const;

    struct TStoredObject {
        std::unique_ptr<THtmlNode> Node;
        // For a loaded image, image input or table: its attribute ids in the page's order,
        // and the names of those that are attrUnknown there, in the same order.
        std::vector<THtmlAttrId> SourceOrder;
        std::vector<WideString> SourceUnknownNames;
    };

    std::unique_ptr<THtmlRoot> FRoot;
    std::vector<TStoredObject> FObjects;
    std::string FBasePath;
    // Image sources classified during one preparation pass: class and design src.
    struct TTextHash {
        using is_transparent = void;
        size_t operator()(WideStringView Text) const { return std::hash<WideStringView>()(Text); }
    };
    std::unordered_map<WideString, std::pair<WideString, WideString>, TTextHash, std::equal_to<>>
        FClassified;
    // Room reused when attributes are gathered.
    struct TSourceEntry {
        THtmlAttrId Id;
        WideStringView Text;
        size_t Rank;
    };
    mutable std::vector<TSourceEntry> FEntries, FRanked;
    mutable std::vector<THtmlAttribute> FItems;
};

}  // namespace zv
