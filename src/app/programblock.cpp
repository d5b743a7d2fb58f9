#include "app/programblock.h"

#include "app/appform.h"
#include "app/displaycheck.h"
#include "app/parlotextapplication.h"
#include "app/parlotextstyle.h"
#include "app/startup.h"
#include "platform/folders.h"
#include "platform/namedlock.h"
#include "platform/qtdesktop.h"
#include "platform/uilanguage.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

#include <cstdio>
#include <optional>

int RunParlotext(int argc, char** argv, const std::function<void(TAppForm&)>& whenShown)
{
    // Without a window system the toolkit would abort with a long report; one line instead.
    const QString noDisplay =
        NoDisplayMessage(CurrentDisplayEnvironment(argc, argv),
                         [](const QString& path) { return QFileInfo::exists(path); });
    if (!noDisplay.isEmpty()) {
        std::fprintf(stderr, "%s\n", noDisplay.toLocal8Bit().constData());
        return kNoDisplayExitCode;
    }
    CreateNamedLock("QUILLON_Parlotext");
    QtDesktop desktop;
    std::optional<NoDisplayGuard> displayGuard(std::in_place);
    ParlotextApplication application(argc, argv, desktop);
    displayGuard.reset();
    // Before the first widget, so that the window's bars are built with it.
    QApplication::setStyle(new ParlotextStyle);
    // The caption of the application's own error boxes.
    QApplication::setApplicationName(QStringLiteral("Parlotext"));
    // Lets the desktop match the window to its menu entry (and the entry's icon).
    QGuiApplication::setDesktopFileName(QStringLiteral(PARLOTEXT_APP_ID));

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
    // "Open with Parlotext": the file given goes into the address field, as a dropped one does.
    if (const QString file = FileToOpen(QCoreApplication::arguments()); !file.isEmpty())
        form.Edit3->setText(file);
    form.show();
    if (whenShown)
        QTimer::singleShot(0, &form, [&form, whenShown] { whenShown(form); });
    return application.exec();
}
