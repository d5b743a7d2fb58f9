// Not a test: shows a window of the program in one of the shipped languages, so that the
// translations can be checked by eye where they meet the layout:
//   language_preview German.lang.txt language|feedback|about|notice
#include "about/aboutbox.h"
#include "app/appicons.h"
#include "language/textcatalogue.h"
#include "language/widgets/translateform.h"
#include "services/widgets/feedback.h"
#include "services/widgets/newversion.h"
#include "support/recordingdesktop.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    const QString file =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("German.lang.txt");
    const QByteArray which = argc > 2 ? QByteArray(argv[2]) : QByteArray("language");
    ProgramCatalogue().LoadLanguage(QStringLiteral(PARLOTEXT_SOURCE_DIR), 1033, file);
    RecordingDesktop desktop;
    const AppIdentity identity{QStringLiteral("QUILLON"), QStringLiteral("Parlotext"),
                               QStringLiteral("QUILLON - Parlotext"), QStringLiteral("1.3")};

    if (which == "feedback") {
        auto* form = new TFeedbackForm(identity, Endpoints{}, desktop);
        form->Image1Click();
        form->show();
    } else if (which == "about") {
        AboutBoxInfo info;
        info.identity = identity;
        info.makerWeb = QUrl(QStringLiteral("http://www.quillon.example"));
        info.appIcon = AppIcons::program();
        auto* box = new TAboutBox(info, desktop);
        box->show();
    } else if (which == "notice") {
        NewVersionInfo info;
        info.appProduct = identity.AppProduct;
        info.LatestVersion = QStringLiteral("1.4");
        info.appIcon = AppIcons::program();
        auto* notice = new TNewVer(info, desktop, nullptr);
        notice->TimerClose->stop(); // stays until the picture is taken
    } else {
        TranslateFormSetup setup;
        setup.programFile = QCoreApplication::applicationFilePath();
        setup.translationPage = QUrl(QStringLiteral("https://www.quillon.example/translation/"));
        auto* window = new TTranslateForm(ProgramCatalogue(), setup, desktop);
        window->show();
        if (argc > 3 && QByteArray(argv[3]) == "popup")
            QTimer::singleShot(300, window, [window] { window->ComboBox1->showPopup(); });
    }
    return application.exec();
}
