#include "app/appform.h"
#include "app/parlotextapplication.h"
#include "platform/folders.h"
#include "platform/namedlock.h"
#include "platform/qtdesktop.h"
#include "platform/uilanguage.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    CreateNamedLock("QUILLON_Parlotext");
    QtDesktop desktop;
    ParlotextApplication application(argc, argv, desktop);
    QApplication::setApplicationName(QStringLiteral("Parlotext"));

    AppEnvironment environment;
    environment.programFile = QCoreApplication::applicationFilePath();
    environment.programFolder = ProgramFolder();
    environment.appDataBase = RoamingAppDataFolder();
    environment.userLanguageId = UserInterfaceLanguageId();
    environment.endpoints = Endpoints::compiledIn();

    TAppForm form(environment, desktop);
    try {
        form.FormCreate();
    } catch (const std::exception& error) {
        application.reportError(error);
    }
    form.show();
    return application.exec();
}
