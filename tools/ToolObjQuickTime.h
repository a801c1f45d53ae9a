#pragma once
// The QuickTime movie tool: movie, volume, full-screen mode, looping, playing options and
// the movies that follow of a QuickTime object.

#include "ToolObjMedia.h"

namespace Ui {
class FormToolObjQuickTime;
}

namespace zv {

extern const TMediaPlayer QuickTimePlayer;

class TFormToolObjQuickTime : public TFormToolObjMedia {
    Q_OBJECT
public:
    explicit TFormToolObjQuickTime(QWidget* Parent = nullptr);
    ~TFormToolObjQuickTime() override;

private:
    std::unique_ptr<Ui::FormToolObjQuickTime> Form;
};

class TToolObjQuickTime : public TToolObjMedia {
public:
    TToolObjQuickTime() : TToolObjMedia("Insert QuickTime Movie", 36, QuickTimePlayer) {}
    std::unique_ptr<TTagEditor> NewEditor() override { return std::make_unique<TFormToolObjQuickTime>(); }
};

}  // namespace zv
