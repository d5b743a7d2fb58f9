// Shows the about window on a display, for screenshots: aboutpreview [slide]
#include "about/aboutbox.h"
#include "app/appicons.h"
#include "support/silentdesktop.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SilentDesktop desktop;
    AboutBoxInfo info;
    info.identity.AppCompany = QStringLiteral("QUILLON");
    info.identity.AppProduct = QStringLiteral("Parlotext");
    info.identity.AppVersion = QStringLiteral("1.3");
    info.makerWeb = QUrl(QStringLiteral("http://www.quillon.example"));
    info.programFolder = QCoreApplication::applicationDirPath();
    info.appIcon = AppIcons::program();
    auto* box = new TAboutBox(info, desktop);
    box->show();
    if (argc > 1 && QByteArray(argv[1]) == "slide")
        box->Image1DblClick();
    QObject::connect(box, &QObject::destroyed, &application, &QApplication::quit);
    return application.exec();
}
