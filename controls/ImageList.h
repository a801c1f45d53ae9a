#pragma once
// A list of same-sized pictures shown by index (tool palette icons, icon-pack cells).

#include <QList>
#include <QPixmap>
#include <QSize>

namespace zv {

struct TImageList {
    QSize CellSize{32, 32};
    QList<QPixmap> Images;

    int Count() const { return static_cast<int>(Images.size()); }
    void Clear() { Images.clear(); }
};

}  // namespace zv
