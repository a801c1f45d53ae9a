#pragma once
// The Flash movie tool: movie, quality, scaling, alignment, window mode, colour, base URL,
// variables and playing options of a Flash object.

#include "ToolObjMedia.h"

namespace Ui {
class FormToolObjFlash;
}

namespace zv {

extern const TMediaPlayer FlashPlayer;

class TFormToolObjFlash : public TFormToolObjMedia {
    Q_OBJECT
public:
    explicit TFormToolObjFlash(QWidget* Parent = nullptr);
    ~TFormToolObjFlash() override;

private:
    std::unique_ptr<Ui::FormToolObjFlash> Form;
};

class TToolObjFlash : public TToolObjMedia {
public:
    TToolObjFlash() : TToolObjMedia("Insert Flash Movie", 33, FlashPlayer) {}
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolObjFlash>(); }
};

}  // namespace zv
