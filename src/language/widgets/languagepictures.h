#pragma once

#include <QPixmap>

// The language window's pictures, drawn by the program itself at 16 x 16.
namespace LanguagePictures {

// The picture list's order: 0 the blank flag, 1 the English flag, 2 to 30 the flags of
// the known languages, 31 the United States flag, 32 the tick, 33 copy.
enum Index { BlankFlag = 0, EnglishFlag = 1, UsFlag = 31, Tick = 32, Copy = 33, Count = 34 };

QPixmap picture(int index);
// The window's own icon: a globe.
QPixmap globe(int size);

} // namespace LanguagePictures
