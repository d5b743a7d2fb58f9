// The main window's side of the maker's web services: update check and feedback.
#include "app/appform.h"

void TAppForm::setUpServices() {}

void TAppForm::TimerCheckerTimer() {}

void TAppForm::UpdateNotifications1Click() {}

void TAppForm::SendFeedback1Click() {}
