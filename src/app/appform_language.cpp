// The main window's side of the language window.
#include "app/appform.h"

void TAppForm::setUpLanguageWindow() {}

void TAppForm::Language1Click() {}
