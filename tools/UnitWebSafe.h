#pragma once
// The chooser of ready-made page colour schemes (background, text, link, visited and active
// link), grouped by the hue of their background, with a preview of the chosen colours.

#include <QDialog>
#include <memory>

#include "HTMLColors.h"

namespace Ui {
class FormWebSafe;
}

namespace zv {

struct TWebSafeGroup {
    int Key;
    const char* Name;
    TColor Swatch;
};

struct TWebSafeScheme {
    int Key;   // the group's
    const char* Name;
    TColor Background, Text, Link, VLink, ALink;
};

// The groups in list order (by name), the schemes in table order.
constexpr int WebSafeGroupCount = 11;
constexpr int WebSafeSchemeCount = 56;
extern const TWebSafeGroup WebSafeGroups[WebSafeGroupCount];
extern const TWebSafeScheme WebSafeSchemes[WebSafeSchemeCount];

class TFormWebSafe : public QDialog {
    Q_OBJECT
public:
    explicit TFormWebSafe(QWidget* Parent = nullptr);
    ~TFormWebSafe() override;

    TColor BgColor() const { return FBgColor; }
    TColor TextColor() const { return FTextColor; }
    TColor LinkColor() const { return FLinkColor; }
    TColor VLinkColor() const { return FVLinkColor; }
    TColor ALinkColor() const { return FALinkColor; }
    // Each recolours its part of the preview when the colour changes.
    void SetBgColor(TColor Color);
    void SetTextColor(TColor Color);
    void SetLinkColor(TColor Color);
    void SetVLinkColor(TColor Color);
    void SetALinkColor(TColor Color);
    // White, black, blue, purple, purple.
    void Reset();

    // Lists the schemes of the group at Row (list order); none is selected then.
    void ChooseGroup(int Row);
    // Takes the colours of the scheme at Row of the scheme list.
    void ChooseScheme(int Row);

protected:
    void showEvent(QShowEvent* Event) override;

private:
    std::unique_ptr<Ui::FormWebSafe> Form;
    TColor FBgColor = clWhite;
    TColor FTextColor = clBlack;
    TColor FLinkColor = clBlue;
    TColor FVLinkColor = clPurple;
    TColor FALinkColor = clPurple;
};

// The chooser, made on first use and kept until the program ends.
TFormWebSafe* WebSafeForm();

}  // namespace zv
