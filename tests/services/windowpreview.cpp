// Shows the notice or the feedback window on the current display, for a look by eye:
// services_window_preview notice|feedback. Nothing is sent anywhere.
#include "app/appicons.h"
#include "services/widgets/feedback.h"
#include "services/widgets/newversion.h"
#include "support/silentdesktop.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    SilentDesktop desktop;
    const QString which = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("notice");
    if (which == QLatin1String("feedback")) {
        const AppIdentity identity{QStringLiteral("QUILLON"), QStringLiteral("Parlotext"),
                                   QStringLiteral("QUILLON - Parlotext"), QStringLiteral("1.3")};
        auto* form = new TFeedbackForm(identity, Endpoints{}, desktop);
        form->Image1Click();
        form->Memo1->setPlainText(QStringLiteral("The subtitles came out right the first time."));
        form->Edit1->setText(QStringLiteral("reader@example.com"));
        form->show();
    } else {
        NewVersionInfo info;
        info.appProduct = QStringLiteral("Parlotext");
        info.LatestVersion = QStringLiteral("1.4");
        info.appIcon = AppIcons::program();
        auto* notice = new TNewVer(info, desktop, nullptr);
        notice->TimerClose->stop(); // stays until the picture is taken
        Q_UNUSED(notice);
    }
    return application.exec();
}
