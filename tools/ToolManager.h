#pragma once
// The tag tools: one tool (TToolItem), whose dialog is a TTagEditor, and the Objects palette
// that lays the tools out as buttons and runs them (TToolManager). Elements shown as
// placeholders are edited through their stored source node.

#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HtmlDesigner.h"
#include "HtmlElements.h"
#include "ImageList.h"
#include "TagEditor.h"
#include "ToolHost.h"

class QPainter;

namespace zv {

// The markers a TToolItem's ImageIndex holds instead of an icon.
enum : int { iiNoButton = -1, iiSeparator = -2 };

class TToolItem {
public:
    TToolItem() = default;
    TToolItem(std::string TagName, std::string Hint, int ImageIndex, bool EditInPlace,
              bool NeedsSavedDocument)
        : TagName(std::move(TagName)), Hint(std::move(Hint)), ImageIndex(ImageIndex),
          EditInPlace(EditInPlace), NeedsSavedDocument(NeedsSavedDocument)
    {
    }
    virtual ~TToolItem() = default;

    // The button's cell in palette coordinates, right and bottom exclusive; all -1 without
    // a button.
    TRect ButtonRect{-1, -1, -1, -1};
    // The tag the tool edits (compared ignoring case); "IMG" for placeholders; empty for a
    // tool that only inserts.
    std::string TagName;
    std::string Hint;
    // Icon in the palette's images, or iiNoButton or iiSeparator.
    int ImageIndex = 0;
    // Edits call the dialog's Apply; otherwise the element is replaced by its GetHTML.
    bool EditInPlace = false;
    // Runs only once the document has a file name.
    bool NeedsSavedDocument = false;
    THtmlDesigner* Designer = nullptr;

    virtual bool CanEdit(const THtmlElement& Element);
    // The tool's dialog, made on first use and kept; nullptr for a tool without one.
    virtual TTagEditor* GetEditor();
    // Whether the tool's element may stand inside another of its kind. One that may not (a
    // form) is edited when the selection lies in it, instead of getting a new one inside.
    virtual bool Nests() const { return true; }

    bool IsSeparator() const { return ImageIndex == iiSeparator; }

protected:
    // Whether the element is a placeholder whose stored node is of Kind.
    bool StoredKindIs(const THtmlElement& Element, THtmlTagId Kind) const;
};

// The Objects palette.
class TToolManager : public QWidget {
    Q_OBJECT
public:
    explicit TToolManager(QWidget* Parent = nullptr);
    ~TToolManager() override;

    template <class T> T* AddTool() { return static_cast<T*>(AddTool(std::make_unique<T>())); }
    TToolItem* AddTool(std::unique_ptr<TToolItem> Tool);
    void AddSeparator();
    void Clear();
    void BeginUpdate();
    void EndUpdate();
    // The icons, all of one size.
    void SetImages(std::vector<QPixmap> Images);
    void SetImages(const TImageList& List) { SetImages(std::vector<QPixmap>(List.Images.begin(), List.Images.end())); }
    THtmlDesigner* Designer() const { return FDesigner; }
    void SetDesigner(THtmlDesigner* Designer);

    // Runs a tool as its button does: edits the selected element when the tool takes it,
    // else inserts its new element at the caret or the selection, or in front of an element
    // selected whole.
    void Execute(TToolItem* Tool);
    // Runs the first tool of class T (subclasses too); nothing when there is none.
    template <class T> void ExecuteTool()
    {
        for (const auto& Tool : Tools)
            if (dynamic_cast<T*>(Tool.get())) return Execute(Tool.get());
    }
    // Opens the dialog of the first tool that takes Element; a link goes to the design view's
    // hyperlink command, an element no tool takes inside a table cell opens the cell's.
    void EditElement(const THtmlElement& Element);

    // Fired after every change a tool made to the document.
    std::function<void(QObject* Sender)> OnChange;

    // Every tool and separator in palette order.
    const std::vector<std::unique_ptr<TToolItem>>& AllTools() const { return Tools; }
    // The tools that edit elements, in the order they are asked.
    const std::vector<TToolItem*>& TagEditors() const { return FTagEditors; }
    int ButtonSize() const { return FButtonSize; }
    int HotIndex() const { return FHotIndex; }
    bool Pressed() const { return FPressed; }
    QPoint ImageOffset() const { return FImageOffset; }
    // Index of the button under Pos (palette coordinates); -1 for none.
    int HitTest(const QPoint& Pos) const;
    // The height the buttons take in Width pixels, margins included.
    int LayoutHeight(int Width) const;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int Width) const override { return LayoutHeight(Width); }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void leaveEvent(QEvent* Event) override;

private:
    enum class TButtonState { Normal, Hot, Pressed };
    // Hands every tool its cell at Width in palette order; returns the rows taken.
    int Arrange(int Width, const std::function<void(TToolItem&, const TRect&)>& Place) const;
    void Layout();
    void DrawButton(int Index, TButtonState State);
    void PaintButton(QPainter& Painter, int Index, TButtonState State) const;
    QRect ButtonScreenRect(const TToolItem* Tool) const;
    // The element the tools may change: in the page still, and not the body or the page.
    static bool IsEditable(const THtmlElement& Element);
    // The element of the tool's kind that Element lies in (itself included), when the tool
    // takes it; a null handle otherwise.
    THtmlElement EnclosingOwn(TToolItem* Tool, const THtmlElement& Element) const;
    // The edit dialog for Element; its HTML, when it gives some, replaces the element.
    void EditAndReplace(TToolItem* Tool, const THtmlElement& Element, const QRect& Reference);
    bool InsertDialog(TToolItem* Tool, WideString& Html);
    bool EditDialog(TToolItem* Tool, const THtmlElement& Element, const QRect& Reference,
                    WideString& Html);
    void Changed();

    bool FPressed = false;
    bool Updating = false;
    int FHotIndex = -1;
    QPoint FImageOffset{-1, -1};
    int FButtonSize = 30;
    THtmlDesigner* FDesigner = nullptr;
    std::vector<TToolItem*> FTagEditors;
    std::vector<std::unique_ptr<TToolItem>> Tools;
    std::vector<QPixmap> Images;
    // the states drawn over the normal palette
    std::vector<TButtonState> States;
};

}  // namespace zv
