#include "app/programblock.h"

#include "app/appform.h"
#include "app/parlotextapplication.h"
#include "platform/folders.h"
#include "platform/namedlock.h"
#include "platform/qtdesktop.h"
#include "platform/uilanguage.h"

#include <QTimer>

int RunParlotext(int argc, char** argv, const std::function<void(TAppForm&)>& whenShown)
{
    CreateNamedLock("QUILLON_Parlotext");
    QtDesktop desktop;
    ParlotextApplication application(argc, argv, desktop);
    // The caption of the application's own error boxes.
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
    if (whenShown)
        QTimer::singleShot(0, &form, [&form, whenShown] { whenShown(form); });
    return application.exec();
}
