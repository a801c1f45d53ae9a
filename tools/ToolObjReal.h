#pragma once
// The RealMedia tool: clip, the player's control set (which also sets the size), playing
// options, colours and callbacks of a RealMedia object.

#include "ToolObjMedia.h"

namespace Ui {
class FormToolObjReal;
}

namespace zv {

extern const TMediaPlayer RealPlayer;

// The control sets of the player, in the order of the Controls list.
struct TRealControl {
    const char* Name;
    const char* Description;
    int Width;
    int Height;
};
constexpr int RealControlCount = 20;
extern const TRealControl RealControls[RealControlCount];
// The row of that name (ignoring case); empty is "Default"; an unknown name gives 0.
int ControlIndex(WideStringView Name);
// The row's name; "Default" for an index outside the table.
WideString ControlName(int Index);

class TFormToolObjReal : public TFormToolObjMedia {
    Q_OBJECT
public:
    explicit TFormToolObjReal(QWidget* Parent = nullptr);
    ~TFormToolObjReal() override;

protected:
    // A "controls" value that names no row is listed after the rows and kept while chosen.
    void ShowParam(const TMediaParam& Param, const WideString& Value, bool Editing) override;
    WideString ParamValue(const TMediaParam& Param) const override;

private:
    // The user picked a control set: its size goes into width and height.
    void ComboControlsChange(int Index);
    std::unique_ptr<Ui::FormToolObjReal> Form;
};

class TToolObjReal : public TToolObjMedia {
public:
    TToolObjReal() : TToolObjMedia("Insert Real Media", 37, RealPlayer) {}
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolObjReal>(); }
};

}  // namespace zv
