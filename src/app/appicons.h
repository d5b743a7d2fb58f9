#pragma once

#include <QIcon>

// The main window's pictures, drawn by the program itself at start-up.
namespace AppIcons {
QIcon program();
QIcon convert();
QIcon stop();
QIcon load();
QIcon save();
QIcon settings();
QIcon record();
QIcon page();
QIcon key();
} // namespace AppIcons
