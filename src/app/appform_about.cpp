// The main window's side of the about window.
#include "app/appform.h"

#include "about/aboutbox.h"
#include "app/startup.h"

void TAppForm::setUpAboutWindow() {}

void TAppForm::About1Click()
{
    AboutBoxInfo info;
    info.identity = m_identity;
    info.makerWeb = m_environment.endpoints.makerWeb;
    // An installed program keeps license.txt under share/parlotext.
    info.programFolder =
        ShippedFilesFolder(m_environment.programFolder, QStringLiteral("license.txt"));
    info.appIcon = windowIcon();
    // A new window each time, modal without a loop of its own; it frees itself on closing.
    auto* box = new TAboutBox(info, m_desktop, this);
    box->setWindowModality(Qt::ApplicationModal);
    box->show();
}
