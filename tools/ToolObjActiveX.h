#pragma once
// The ActiveX tool: class id (typed, or picked in the class chooser), codebase, size,
// alignment, title, alternate text and named parameters of any OBJECT the media tools leave.

#include "ToolObjApplet.h"

namespace Ui {
class FormToolObjActiveX;
}

namespace zv {

class TFormToolObjActiveX : public TFormGridObject<Ui::FormToolObjActiveX> {
    Q_OBJECT
public:
    explicit TFormToolObjActiveX(QWidget* Parent = nullptr);
    ~TFormToolObjActiveX() override;

    bool CheckFields() override;

protected:
    TDesignObject NewObject() override;

private:
    // The chooser, starting on the class of the field; its choice goes into the field.
    void BtnSelectClick();
};

class TToolObjActiveX : public TToolItem {
public:
    TToolObjActiveX() : TToolItem("IMG", "Insert ActiveX Object", 31, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagObject); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolObjActiveX>(); }
};

}  // namespace zv
