// The main window's side of the about window.
#include "app/appform.h"

void TAppForm::setUpAboutWindow() {}

void TAppForm::About1Click() {}
