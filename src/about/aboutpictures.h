#pragma once

#include <QPixmap>

// The about window's pictures, drawn by the program itself at the given device pixel
// ratio, so that they stay sharp at any screen scale. Sizes are in device-independent
// pixels.
namespace AboutPictures {
// The logo, 344 x 105: the program's mark and its name.
QPixmap logo(const QString& productName, qreal pixelRatio);
// The hidden picture, 320 x 214: a cat asleep under the moon.
QPixmap cat(qreal pixelRatio);
// The Info button's small downward arrow, 12 x 12.
QPixmap arrow(qreal pixelRatio);
} // namespace AboutPictures
