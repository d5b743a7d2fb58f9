// The main window's side of the maker's web services: update check and feedback.
#include "app/appform.h"

#include "platform/desktop.h"
#include "services/check.h"
#include "services/widgets/feedback.h"
#include "services/widgets/newversion.h"

#include <QAction>
#include <QTimer>

void TAppForm::setUpServices()
{
    // The regional settings and the clock are taken now, at start-up.
    m_updateCheckEnvironment = std::make_shared<UpdateCheckEnvironment>();
    m_updateCheck = new UpdateCheckDriver(this);
}

UpdateCheckEnvironment& TAppForm::updateCheckEnvironment()
{
    return *m_updateCheckEnvironment;
}

void TAppForm::TimerCheckerTimer()
{
    if (!m_updateCheck->isStarted()) {
        m_updateCheck->start({m_identity, m_environment.endpoints, *m_updateCheckEnvironment});
        return;
    }
    if (!m_updateCheck->isFinished())
        return;

    TimerChecker->stop();
    const UpdateCheckShared& result = m_updateCheck->shared();
    UpdateNotifications1->setEnabled(true);
    if (result.ShowUpdate == 0)
        UpdateNotifications1->setChecked(false);
    if (result.UpdateAvailable && !m_newVer) {
        NewVersionInfo info;
        info.appProduct = m_identity.AppProduct;
        info.LatestVersion = result.LatestVersion;
        info.DownloadURL = result.DownloadURL;
        info.homePage = m_environment.endpoints.makerWeb;
        info.appIcon = windowIcon();
        m_newVer = new TNewVer(info, m_desktop, this);
    }
}

void TAppForm::UpdateNotifications1Click()
{
    // The action has already toggled its own check mark; the store follows it. The choice
    // takes effect at the next start.
    QSettings* settings = m_updateCheck->updateSettings();
    if (!settings)
        return;
    settings->setValue(QStringLiteral("Settings/") + QLatin1String(UpdateSettingsKeys::ShowUpdate),
                       UpdateNotifications1->isChecked() ? QStringLiteral("1")
                                                         : QStringLiteral("0"));
    settings->sync();
}

void TAppForm::SendFeedback1Click()
{
    auto* form = new TFeedbackForm(m_identity, m_environment.endpoints, m_desktop, this);
    form->timeoutMs = feedbackTimeoutMs;
    // Modal without a loop of its own: the window deletes itself when it closes.
    form->setWindowModality(Qt::ApplicationModal);
    form->show();
}
