#pragma once
// The comment tool: the text of a comment, shown in the design view as a placeholder and
// edited in its stored node.

#include "ToolItem.h"

namespace Ui {
class FormToolComment;
}

namespace zv {

// The text between the markers: trimmed, then a leading "<!--" and a trailing "-->" taken off.
WideString StripComment(WideStringView Text);

class TFormToolComment : public TFormTool<Ui::FormToolComment> {
    Q_OBJECT
public:
    explicit TFormToolComment(QWidget* Parent = nullptr);
    ~TFormToolComment() override;

    void FormShow() override;
    // An empty memo is not taken, without a message; a text holding "--", which could end the
    // comment early, is refused with one.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

private:
    // "<!--" + the memo's stripped text + "-->", with the file's line ends; a blank keeps a
    // ">" or "->" at the start and a "-" at the end from joining the markers.
    WideString CommentText() const;
    QString Shown;
};

class TToolComment : public TToolItem {
public:
    TToolComment() : TToolItem("IMG", "Insert Comment", 5, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagComment); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolComment>(); }
};

}  // namespace zv
