#pragma once

#include <QPixmap>

// The pictures of the notice and feedback windows, drawn by the program itself.
namespace ServicePictures {
QPixmap close(int size);    // a cross, for the notice's close button
QPixmap smile(int size);    // a smiling face, "I like it!"
QPixmap frown(int size);    // a sad face, "I dislike it!"
QPixmap feedback(int size); // a paper plane, for the "Send" button
} // namespace ServicePictures
