// The main window's side of the local media tools: loading a file and recording.
#include "app/appform.h"

void TAppForm::setUpMediaTools() {}

void TAppForm::Load1Click() {}

void TAppForm::Record1Click() {}
