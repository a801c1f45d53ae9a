#pragma once
// The marquee tool: running text shown as a placeholder picture. The scrolling settings and
// the text live on the stored node, the size and alignment on both.

#include "ToolItem.h"

namespace Ui {
class FormToolMarquee;
}

namespace zv {

class TFormToolMarquee : public TFormTool<Ui::FormToolMarquee> {
    Q_OBJECT
public:
    explicit TFormToolMarquee(QWidget* Parent = nullptr);
    ~TFormToolMarquee() override;

    void FormShow() override;
    // A text is required.
    bool CheckFields() override;
    void GetHTML(WideString& S) override;
    void Apply() override;

private:
    // The memo as shown: the stored text changes only with it.
    QString Shown;
};

class TToolMarquee : public TToolItem {
public:
    TToolMarquee() : TToolItem("IMG", "Insert Running Text (Marquee)", 34, true, false) {}
    bool CanEdit(const THtmlElement& Element) override { return StoredKindIs(Element, tagMarquee); }
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolMarquee>(); }
};

}  // namespace zv
