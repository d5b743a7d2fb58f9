// The main window's side of the result pane, saving and the conversion job.
#include "app/appform.h"

void TAppForm::setUpConversion() {}

void TAppForm::Save1Click() {}

void TAppForm::ConvertUsingReplicate() {}

void TAppForm::TimerReplicateTimer() {}

void TAppForm::TimerElapsedTimer() {}
