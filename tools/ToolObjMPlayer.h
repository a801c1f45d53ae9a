#pragma once
// The Windows Media Player tool: media file, sound, play count, the player's controls and
// captioning of a Windows Media Player object (either class id).

#include "ToolObjMedia.h"

namespace Ui {
class FormToolObjMPlayer;
}

namespace zv {

extern const TMediaPlayer MPlayerPlayer;

class TFormToolObjMPlayer : public TFormToolObjMedia {
    Q_OBJECT
public:
    explicit TFormToolObjMPlayer(QWidget* Parent = nullptr);
    ~TFormToolObjMPlayer() override;

private:
    std::unique_ptr<Ui::FormToolObjMPlayer> Form;
};

class TToolObjMPlayer : public TToolObjMedia {
public:
    TToolObjMPlayer() : TToolObjMedia("Insert Windows Media Player", 35, MPlayerPlayer) {}
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolObjMPlayer>(); }
};

}  // namespace zv
