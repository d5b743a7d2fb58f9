// The main window's side of the about window.
#include "app/appform.h"

#include "about/aboutbox.h"

void TAppForm::setUpAboutWindow() {}

void TAppForm::About1Click()
{
    AboutBoxInfo info;
    info.identity = m_identity;
    info.makerWeb = m_environment.endpoints.makerWeb;
    info.programFolder = m_environment.programFolder;
    info.appIcon = windowIcon();
    // A new window each time, modal without a loop of its own; it frees itself on closing.
    auto* box = new TAboutBox(info, m_desktop, this);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}
