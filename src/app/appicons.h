#pragma once

#include <QIcon>

// The main window's pictures, drawn at build time (appicondrawing.h) and compiled in.
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
