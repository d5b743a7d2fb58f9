// The main window's side of the about window and the language window.
#include "app/appform.h"

void TAppForm::setUpWindows() {}

void TAppForm::About1Click() {}

void TAppForm::Language1Click() {}
