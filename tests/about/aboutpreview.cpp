// Shows the about window on a display, for screenshots: aboutpreview [slide]
#include "about/aboutbox.h"
#include "app/appicons.h"
#include "platform/desktop.h"

#include <QApplication>
#include <QTimer>

namespace {

class QuietDesktop final : public Desktop {
public:
    void showMessage(const QString&, const QString&, MessageIcon) override {}
    bool askQuestion(const QString&, const QString&, const QString&, const QString&) override
    {
        return false;
    }
    void beep() override {}
    bool openUrl(const QUrl&) override { return false; }
    QString chooseSaveFile(const QStringList&, const QString&) override { return {}; }
    QString chooseOpenFile(const QStringList&) override { return {}; }
    QStringList chooseOpenFiles(const QStringList&) override { return {}; }
    bool startDetached(const QString&, const QStringList&, const QString&) override
    {
        return false;
    }
};

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QuietDesktop desktop;
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
